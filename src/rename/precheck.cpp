#include "rename/precheck.h"

#include "batch/linetext.h"
#include "rename/namecheck.h"
#include "rename/runplan.h"
#include "rename/targets.h"

#include <QHash>

namespace quillet::rename {

using namespace Qt::Literals::StringLiterals;

bool PrecheckFindings::hasProblems() const
{
    if (countMismatch())
        return true;
    for (int kind = 0; kind < kEntryFindingKinds; ++kind) {
        if (kind != int(EntryFinding::Fine) && (kNoteKinds & kindBit(EntryFinding(kind))) == 0
            && counts[kind] > 0)
            return true;
    }
    return false;
}

namespace {

// Walks the batch in three passes: what each entry is on its own (its item, its name, its
// folder), the run's plan over the entries that move, and then what the targets meet.
class BatchCheck {
public:
    BatchCheck(const QStringList& sources, const QStringList& targets, QChar separator,
               const ItemLookup& lookUp, const FolderRules& folderRules, qsizetype lines)
        : m_sources(sources)
        , m_targets(targets)
        , m_separator(separator)
        , m_lookUp(lookUp)
        , m_rules(folderRules)
        , m_lines(lines)
        , m_marked(size_t(sources.size()))
        , m_items(size_t(sources.size()))
        , m_moving(size_t(sources.size()), false)
    {
        m_looked[0].reserve(2 * sources.size() + 16);
    }

    std::vector<MarkedEntry> check()
    {
        const qsizetype count = m_sources.size();
        for (qsizetype i = 0; i < count; ++i)
            checkOnItsOwn(i);
        for (qsizetype i = 0; i < count; ++i) {
            if (m_moving[size_t(i)])
                m_movedInto.insert(key(m_targets.at(i)), i);
        }
        for (qsizetype i = 0; i < count; ++i) {
            if (m_moving[size_t(i)])
                checkFolder(i);
        }
        const RunPlan plan = planRun(m_sources, m_targets, m_moving, m_separator, m_rules,
                                     [](const QString& folder) { return folder + u".quillet-"_s; });
        for (qsizetype i = 0; i < count; ++i) {
            if (m_moving[size_t(i)])
                checkTarget(i, plan.freedBy[size_t(i)]);
        }
        return std::move(m_marked);
    }

private:
    void mark(qsizetype i, EntryFinding kind) { m_marked[size_t(i)].kinds |= kindBit(kind); }

    QString key(const QString& path)
    {
        return comparablePath(path, m_separator, m_rules.ofFolderOf(path, m_separator));
    }

    // Each path is asked about once, whichever pass meets it first.
    const std::optional<ItemInfo>& looked(const QString& path, LookUp how)
    {
        QHash<QString, std::optional<ItemInfo>>& looked = m_looked[how == LookUp::Item ? 0 : 1];
        const QString pathKey = key(path);
        auto found = looked.find(pathKey);
        if (found == looked.end())
            found = looked.insert(pathKey, m_lookUp(path, how));
        return *found;
    }

    void checkOnItsOwn(qsizetype i)
    {
        const QString& source = m_sources.at(i);
        const QString& target = m_targets.at(i);
        m_marked[size_t(i)].entry = i;
        const std::optional<ItemInfo>& item = looked(source, LookUp::Item);
        if (!item)
            return mark(i, EntryFinding::SourceMissing);
        m_items[size_t(i)] = *item;
        if (target == source)
            return mark(i, EntryFinding::Unchanged);
        if (i >= m_lines)
            return mark(i, EntryFinding::NoLine);
        switch (rename::checkTarget(source, target, m_separator, m_rules)) {
        case NameProblem::None: break;
        case NameProblem::Empty: return mark(i, EntryFinding::Empty);
        case NameProblem::InvalidCharacter: return mark(i, EntryFinding::InvalidCharacter);
        case NameProblem::TooLong: return mark(i, EntryFinding::TooLong);
        }
        if (hasSurroundingSpace(nameFromLine(source, target, m_separator)))
            mark(i, EntryFinding::SurroundingSpace);
        m_moving[size_t(i)] = true;
    }

    // Whether the target's folder is there, a folder, and on the item's file system, as the run
    // will find it: items going into a folder the batch renames go before it, and a folder the
    // batch gives a new name is there under it.
    void checkFolder(qsizetype i)
    {
        const QString& target = m_targets.at(i);
        const qsizetype nameStart = fileNameStart(target, m_separator);
        if (nameStart == 0)
            return;
        QString folder = target.left(nameStart - 1);
        // "/" and "C:\" keep their separator: without it they name something else.
        if (folder.isEmpty() || folder.endsWith(u':'))
            folder = target.left(nameStart);
        if (hasChecksumToken(folder))
            return; // the folder's name waits for the checksum
        std::optional<ItemInfo> there = looked(folder, LookUp::Folder);
        if (!there || !there->folder)
            there = folderMadeByBatch(folder);
        const ItemInfo& item = *m_items[size_t(i)];
        EntryFinding finding = EntryFinding::Fine;
        if (!there || !there->folder)
            finding = EntryFinding::FolderMissing;
        else if (there->device != item.device && there->device != kUnknownDevice
                 && item.device != kUnknownDevice)
            finding = EntryFinding::OtherDrive;
        if (finding == EntryFinding::Fine)
            return;
        mark(i, finding);
        m_marked[size_t(i)].kinds &= ~kindBit(EntryFinding::SurroundingSpace);
        m_moving[size_t(i)] = false;
    }

    // A folder that is the new name of a folder of the batch, or lies inside one.
    std::optional<ItemInfo> folderMadeByBatch(const QString& folder)
    {
        if (m_movedInto.isEmpty())
            return std::nullopt;
        const QString folderKey = key(folder);
        for (qsizetype end = folderKey.size(); end > 0;
             end = folderKey.lastIndexOf(u'/', end - 1)) {
            const auto into = m_movedInto.constFind(folderKey.left(end));
            if (into == m_movedInto.cend())
                continue;
            const qsizetype entry = *into;
            if (!m_items[size_t(entry)] || !m_items[size_t(entry)]->folder)
                return std::nullopt;
            if (end == folderKey.size())
                return m_items[size_t(entry)];
            QString inside = folder.sliced(end);
            if (m_separator != u'/')
                inside.replace(u'/', m_separator);
            return looked(m_sources.at(entry) + inside, LookUp::Folder);
        }
        return std::nullopt;
    }

    void checkTarget(qsizetype i, qsizetype freedBy)
    {
        const QString& target = m_targets.at(i);
        if (hasChecksumToken(target))
            return; // its final name waits for the checksum
        const QString targetKey = key(target);
        // On a disk that ignores case, a new spelling of the same name finds the source.
        if (targetKey == key(m_sources.at(i)))
            return;
        MarkedEntry& marked = m_marked[size_t(i)];
        const auto named = m_namedBy.constFind(targetKey);
        if (named != m_namedBy.cend()) {
            marked.sameAs = *named;
            mark(i, EntryFinding::Duplicate);
        } else {
            m_namedBy.insert(targetKey, i);
        }
        if (freedBy >= 0) {
            if (named == m_namedBy.cend()) {
                marked.swapWith = freedBy;
                mark(i, EntryFinding::Swap);
            }
            return;
        }
        if (looked(target, LookUp::Item))
            mark(i, EntryFinding::Existing);
    }

    const QStringList& m_sources;
    const QStringList& m_targets;
    QChar m_separator;
    const ItemLookup& m_lookUp;
    DiskRulesCache m_rules;
    qsizetype m_lines;
    std::vector<MarkedEntry> m_marked;
    std::vector<std::optional<ItemInfo>> m_items;
    std::vector<bool> m_moving;
    QHash<QString, std::optional<ItemInfo>> m_looked[2]; // items, folders
    QHash<QString, qsizetype> m_movedInto;               // target of a moving entry → the entry
    QHash<QString, qsizetype> m_namedBy;                 // target → the first entry naming it
};

} // namespace

qsizetype namedLineCount(const QString& names, qsizetype entries)
{
    const qsizetype lines = batch::lineCount(names);
    if (lines <= entries)
        return lines;
    return qMax(entries, batch::lineCount(batch::withoutTrailingLineBreaks(names)));
}

PrecheckFindings precheckBatch(const QStringList& sources, const QStringList& targets,
                               const QString& names, QChar separator, const ItemLookup& lookUp,
                               const FolderRules& folderRules)
{
    PrecheckFindings findings;
    findings.entries = sources.size();
    findings.lines = namedLineCount(names, sources.size());
    QStringList allTargets = targets;
    while (allTargets.size() < sources.size())
        allTargets.append(QString());
    const std::vector<MarkedEntry> marked =
        BatchCheck(sources, allTargets, separator, lookUp, folderRules, findings.lines).check();
    for (const MarkedEntry& entry : marked) {
        if (entry.kinds == 0)
            continue;
        findings.marked.append(entry);
        for (int kind = 0; kind < kEntryFindingKinds; ++kind) {
            if (!entry.has(EntryFinding(kind)))
                continue;
            ++findings.counts[kind];
            if (findings.firstEntries[kind].size() < kListedEntries)
                findings.firstEntries[kind].append(entry.entry);
        }
    }
    return findings;
}

} // namespace quillet::rename
