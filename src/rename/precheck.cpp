#include "rename/precheck.h"

#include "batch/linetext.h"
#include "batch/nativepath.h"
#include "batch/pathparts.h"
#include "rename/namecheck.h"
#include "rename/targets.h"

#include <QHash>

namespace quillet::rename {

using namespace Qt::Literals::StringLiterals;

bool PrecheckFindings::hasProblems() const
{
    if (countMismatch())
        return true;
    for (int kind = int(EntryFinding::Empty); kind < kEntryFindingKinds; ++kind) {
        if (counts[kind] > 0)
            return true;
    }
    return false;
}

namespace {

// What the run will have done to a path by the time it reaches the current entry.
enum class PathState : quint8 {
    Freed,   // an earlier entry moves its item away from here
    Claimed, // an earlier entry moves its item here
};

bool hasChecksumToken(const QString& target)
{
    return target.contains(kCrc16Token) || target.contains(kCrc32Token);
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

class BatchCheck {
public:
    BatchCheck(QChar separator, const ItemExists& exists, Qt::CaseSensitivity pathCase,
               qsizetype entries)
        : m_separator(separator)
        , m_exists(exists)
        , m_pathCase(pathCase)
    {
        m_paths.reserve(2 * entries);
    }

    EntryFinding check(const QString& source, const QString& target)
    {
        if (target == source)
            return EntryFinding::Unchanged;
        if (target == targetFor(source, QString(), m_separator))
            return EntryFinding::Empty;
        switch (checkFileName(fileNameAsRenamed(target, m_separator))) {
        case NameProblem::None: break;
        case NameProblem::Empty: return EntryFinding::Empty;
        case NameProblem::InvalidCharacter: return EntryFinding::InvalidCharacter;
        case NameProblem::TooLong: return EntryFinding::TooLong;
        }
        if (hasChecksumToken(target)) {
            // Its final name waits for the checksum; the source is moved away all the same.
            m_paths.insert(key(source), PathState::Freed);
            return EntryFinding::Fine;
        }
        const QString targetKey = key(target);
        // On a file system that ignores case, a new spelling of the same name finds the source.
        const bool sameItem = m_pathCase == Qt::CaseInsensitive && targetKey == key(source);
        const auto found = m_paths.constFind(targetKey);
        if (found != m_paths.cend() && *found == PathState::Claimed)
            return EntryFinding::Duplicate;
        if (found == m_paths.cend() && !sameItem && m_exists(target))
            return EntryFinding::Existing;
        m_paths.insert(key(source), PathState::Freed);
        m_paths.insert(targetKey, PathState::Claimed);
        return EntryFinding::Fine;
    }

private:
    QString key(const QString& path) const
    {
        return m_pathCase == Qt::CaseSensitive ? path : path.toCaseFolded();
    }

    QChar m_separator;
    const ItemExists& m_exists;
    Qt::CaseSensitivity m_pathCase;
    QHash<QString, PathState> m_paths;
};

QString countText(QStringView what, qsizetype count)
{
    return u"%1 %2件"_s.arg(what).arg(count);
}

struct KindWords {
    EntryFinding kind;
    QStringView label;  // in the line of the window
    QStringView reason; // in the tooltip
};

// The problems in the order they are shown, then the unchanged entries.
constexpr KindWords kKinds[] = {
    {EntryFinding::Empty, u"空の名前", u"新しい名前が空です"},
    {EntryFinding::Duplicate, u"重複", u"前の行と同じ新しい名前です"},
    {EntryFinding::Existing, u"既存", u"同じ名前の項目が既にあります"},
    {EntryFinding::TooLong, u"長すぎる名前", u"名前が長すぎます"},
    {EntryFinding::InvalidCharacter, u"使えない文字", u"名前に使えない文字があります"},
    {EntryFinding::Unchanged, u"変更なし", u"名前が変わりません"},
};

// "3行目  old.txt → new.txt": the line to look at in the editor, and the names as the user
// reads them. A target in another folder is shown with its folder.
QString entryLine(qsizetype index, const QString& source, const QString& target, QChar separator)
{
    const QString folder = batch::FolderPart(source, separator) + separator;
    const QString shownTarget = target.startsWith(folder) ? target.sliced(folder.size()) : target;
    return u"  %1行目  %2 → %3\n"_s.arg(index + 1).arg(
        batch::displayText(batch::FileNamePart(source, separator), separator),
        batch::displayText(shownTarget, separator));
}

} // namespace

PrecheckFindings precheckBatch(const QStringList& sources, const QStringList& targets,
                               const QString& names, QChar separator, const ItemExists& exists,
                               Qt::CaseSensitivity pathCase)
{
    PrecheckFindings findings;
    findings.entries = sources.size();
    // Lines count as the editor shows them, so an emptied last line still pairs with its file;
    // only empty lines past the last file shift nothing and are left out.
    findings.lines = batch::lineCount(names);
    if (findings.lines > sources.size()) {
        findings.lines = qMax(sources.size(),
                              batch::lineCount(batch::withoutTrailingLineBreaks(names)));
    }
    BatchCheck check(separator, exists, pathCase, sources.size());
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const EntryFinding finding = check.check(sources.at(i), targets.value(i));
        if (finding == EntryFinding::Fine)
            continue;
        ++findings.counts[int(finding)];
        QList<qsizetype>& first = findings.firstEntries[int(finding)];
        if (first.size() < kListedEntries)
            first.append(i);
    }
    return findings;
}

PrecheckReport precheckReport(const PrecheckFindings& findings, const QStringList& sources,
                              const QStringList& targets, QChar separator)
{
    PrecheckReport report;
    QStringList problems;
    if (findings.countMismatch()) {
        problems.append(u"名前 %1行 ≠ ファイル %2件"_s.arg(findings.lines).arg(findings.entries));
        report.details +=
            u"名前の行数とファイルの数が合いません。行がずれていないか確かめてください。\n"_s;
    }
    for (const KindWords& words : kKinds) {
        const qsizetype count = findings.count(words.kind);
        if (count == 0)
            continue;
        const QString label = countText(words.label, count);
        if (words.kind == EntryFinding::Unchanged)
            report.unchanged = label;
        else
            problems.append(label);
        report.details += label + u": "_s + words.reason.toString() + u'\n';
        const QList<qsizetype>& first = findings.firstEntries[int(words.kind)];
        for (const qsizetype i : first)
            report.details += entryLine(i, sources.value(i), targets.value(i), separator);
        if (count > first.size())
            report.details += u"  ほか %1件\n"_s.arg(count - first.size());
    }
    report.problems = problems.join(u'・');
    report.details.chop(1);
    return report;
}

} // namespace quillet::rename
