#include "rename/precheck.h"

#include "batch/linetext.h"
#include "rename/namecheck.h"
#include "rename/targets.h"

#include <QHash>

namespace quillet::rename {

using namespace Qt::Literals::StringLiterals;

bool PrecheckFindings::hasProblems() const
{
    if (countMismatch())
        return true;
    for (int kind = 0; kind < kEntryFindingKinds; ++kind) {
        if (kind != int(EntryFinding::Fine) && kind != int(EntryFinding::Unchanged)
            && counts[kind] > 0)
            return true;
    }
    return false;
}

namespace {

bool hasChecksumToken(QStringView text)
{
    return text.contains(kCrc16Token) || text.contains(kCrc32Token);
}

// The target's file name as it will be renamed: a checksum token becomes its hexadecimal digits.
QString fileNameAsRenamed(const QString& target, QChar separator)
{
    if (!hasChecksumToken(target))
        return target.sliced(fileNameStart(target, separator));
    QString renamed = target;
    renamed.replace(kCrc16Token.toString(), u"0000"_s);
    renamed.replace(kCrc32Token.toString(), u"00000000"_s);
    return renamed.sliced(fileNameStart(renamed, separator));
}

// What is known about one path at the point of the run the check has reached.
struct KnownPath {
    std::optional<ItemInfo> item; // what is there now; nothing once an earlier entry moved it
    qsizetype namedBy = -1;       // the first entry that names this path as its target
    bool movedHere = false;       // the item there is the one namedBy moved in
};

// Walks the batch in run order. One hash holds every path the check has met (sources, targets,
// folders), so the disk is asked once per path and the run's own moves are replayed on top.
class BatchCheck {
public:
    BatchCheck(QChar separator, const ItemLookup& lookUp, Qt::CaseSensitivity pathCase,
               qsizetype entries, qsizetype lines)
        : m_separator(separator)
        , m_lookUp(lookUp)
        , m_pathCase(pathCase)
        , m_lines(lines)
    {
        m_paths.reserve(2 * entries + 16);
    }

    MarkedEntry check(qsizetype index, const QString& source, const QString& target)
    {
        MarkedEntry marked{index};
        const QString sourceKey = key(source);
        KnownPath& from = known(sourceKey, source, LookUp::Item);
        if (!from.item)
            return mark(marked, EntryFinding::SourceMissing);
        const ItemInfo item = *from.item;
        if (target == source)
            return mark(marked, EntryFinding::Unchanged);
        if (index >= m_lines)
            return mark(marked, EntryFinding::NoLine);
        if (target == targetFor(source, QString(), m_separator))
            return mark(marked, EntryFinding::Empty);
        switch (checkFileName(fileNameAsRenamed(target, m_separator))) {
        case NameProblem::None: break;
        case NameProblem::Empty: return mark(marked, EntryFinding::Empty);
        case NameProblem::InvalidCharacter: return mark(marked, EntryFinding::InvalidCharacter);
        case NameProblem::TooLong: return mark(marked, EntryFinding::TooLong);
        }
        if (const std::optional<EntryFinding> folder = checkFolder(target, item))
            return mark(marked, *folder);
        if (hasChecksumToken(target)) {
            // Its final name waits for the checksum; the source is moved away all the same.
            m_paths[sourceKey].item.reset();
            return marked;
        }
        const QString targetKey = key(target);
        // On a file system that ignores case, a new spelling of the same name finds the source.
        if (targetKey == sourceKey) {
            KnownPath& same = m_paths[targetKey];
            same.namedBy = index;
            same.movedHere = true;
            return marked;
        }
        KnownPath& to = known(targetKey, target, LookUp::Item);
        if (to.namedBy >= 0) {
            marked.sameAs = to.namedBy;
            mark(marked, EntryFinding::Duplicate);
        } else {
            to.namedBy = index;
        }
        if (to.item && !to.movedHere)
            mark(marked, EntryFinding::Existing);
        if (marked.kinds != 0)
            return marked;
        to.item = item;
        to.movedHere = true;
        m_paths[sourceKey].item.reset();
        return marked;
    }

private:
    QString key(const QString& path) const
    {
        return m_pathCase == Qt::CaseSensitive ? path : path.toCaseFolded();
    }

    static MarkedEntry& mark(MarkedEntry& marked, EntryFinding kind)
    {
        marked.kinds |= kindBit(kind);
        return marked;
    }

    KnownPath& known(const QString& pathKey, const QString& path, LookUp how)
    {
        auto found = m_paths.find(pathKey);
        if (found == m_paths.end())
            found = m_paths.insert(pathKey, KnownPath{m_lookUp(path, how)});
        return *found;
    }

    // Whether the target's folder is there, a folder, and on the item's file system, as the run
    // will find it: a folder moved away by an earlier entry is gone, one moved in is there.
    std::optional<EntryFinding> checkFolder(const QString& target, const ItemInfo& item)
    {
        const qsizetype nameStart = fileNameStart(target, m_separator);
        if (nameStart == 0)
            return std::nullopt;
        QString folder = target.left(nameStart - 1);
        // "/" and "C:\" keep their separator: without it they name something else.
        if (folder.isEmpty() || folder.endsWith(u':'))
            folder = target.left(nameStart);
        if (hasChecksumToken(folder))
            return std::nullopt; // the folder's name waits for the checksum
        const KnownPath& known = this->known(key(folder), folder, LookUp::Folder);
        if (!known.item || !known.item->folder)
            return EntryFinding::FolderMissing;
        if (known.item->device != item.device && known.item->device != kUnknownDevice
            && item.device != kUnknownDevice)
            return EntryFinding::OtherDrive;
        return std::nullopt;
    }

    QChar m_separator;
    const ItemLookup& m_lookUp;
    Qt::CaseSensitivity m_pathCase;
    qsizetype m_lines;
    QHash<QString, KnownPath> m_paths;
};

} // namespace

PrecheckFindings precheckBatch(const QStringList& sources, const QStringList& targets,
                               const QString& names, QChar separator, const ItemLookup& lookUp,
                               Qt::CaseSensitivity pathCase)
{
    PrecheckFindings findings;
    findings.entries = sources.size();
    // Lines count as the editor shows them, so an emptied last line still pairs with its file;
    // only empty lines past the last file shift nothing and are left out.
    findings.lines = batch::lineCount(names);
    if (findings.lines > sources.size()) {
        findings.lines =
            qMax(sources.size(), batch::lineCount(batch::withoutTrailingLineBreaks(names)));
    }
    BatchCheck check(separator, lookUp, pathCase, sources.size(), findings.lines);
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const MarkedEntry marked = check.check(i, sources.at(i), targets.value(i));
        if (marked.kinds == 0)
            continue;
        findings.marked.append(marked);
        for (int kind = 0; kind < kEntryFindingKinds; ++kind) {
            if (!marked.has(EntryFinding(kind)))
                continue;
            ++findings.counts[kind];
            if (findings.firstEntries[kind].size() < kListedEntries)
                findings.firstEntries[kind].append(i);
        }
    }
    return findings;
}

} // namespace quillet::rename
