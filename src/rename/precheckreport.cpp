// The findings of the pre-check in the words of the confirmation window.
#include "batch/nativepath.h"
#include "batch/pathparts.h"
#include "rename/noreplacerename.h"
#include "rename/precheck.h"

namespace quillet::rename {

using namespace Qt::Literals::StringLiterals;

namespace {

QString countText(QStringView what, qsizetype count)
{
    return u"%1 %2件"_s.arg(what).arg(count);
}

struct KindWords {
    EntryFinding kind;
    QStringView label;  // in the line of the window and in the listing's tags
    QStringView reason; // in the tooltip
};

// The problems in the order they are shown, then the unchanged entries. Files without a name
// come first: they are what a deleted line leaves at the end of the batch.
constexpr KindWords kKinds[] = {
    {EntryFinding::NoLine, u"名前のないファイル", u"このファイルに当たる名前の行がありません"},
    {EntryFinding::Empty, u"空の名前", u"新しい名前が空です"},
    {EntryFinding::SourceMissing, u"見つかりません", u"リネームするファイルがもうありません"},
    {EntryFinding::FolderMissing, u"フォルダがありません", kFolderMissingReason},
    {EntryFinding::OtherDrive, u"別のドライブ",
     u"移動先のフォルダが別のドライブにあり、リネームでは移せません"},
    {EntryFinding::Duplicate, u"重複", u"前の行と同じ新しい名前です"},
    {EntryFinding::Existing, u"既存", kTargetTakenReason},
    {EntryFinding::TooLong, u"長すぎる名前", u"名前が長すぎます"},
    {EntryFinding::InvalidCharacter, u"使えない文字", u"名前に使えない文字があります"},
    {EntryFinding::Unchanged, u"変更なし", u"名前が変わりません"},
    {EntryFinding::Swap, u"入れ替え",
     u"いまその名前の項目もリネームするため、先にそちらを動かしてからリネームします"},
    {EntryFinding::SurroundingSpace, u"前後の空白", u"名前の先頭か末尾に空白があります"},
};

// "3行目  old.txt → new.txt": the line to look at in the editor, and the names as the user
// reads them. A target in another folder is shown with its folder. A file without a line is
// numbered by its place among the files, since the editor has no such line.
QString entryLine(EntryFinding kind, qsizetype index, const QString& source, const QString& target,
                  QChar separator)
{
    const QString sourceName =
        batch::displayText(batch::FileNamePart(source, separator), separator);
    if (kind == EntryFinding::NoLine)
        return u"  %1件目  %2\n"_s.arg(index + 1).arg(sourceName);
    const QString folder = batch::FolderPart(source, separator) + separator;
    const QString shownTarget = target.startsWith(folder) ? target.sliced(folder.size()) : target;
    return u"  %1行目  %2 → %3\n"_s.arg(index + 1).arg(sourceName,
                                                       batch::displayText(shownTarget, separator));
}

// "← 既存・重複 (12行目と同じ)": the kinds of one entry in the order of the check line.
QString entryTag(const MarkedEntry& marked)
{
    QStringList kinds;
    for (const KindWords& words : kKinds) {
        if (!marked.has(words.kind))
            continue;
        if (words.kind == EntryFinding::Duplicate)
            kinds.append(u"%1 (%2行目と同じ)"_s.arg(words.label).arg(marked.sameAs + 1));
        else if (words.kind == EntryFinding::Swap)
            kinds.append(u"%1 (%2行目の名前)"_s.arg(words.label).arg(marked.swapWith + 1));
        else
            kinds.append(words.label.toString());
    }
    return u"← "_s + kinds.join(u'・');
}

} // namespace

PrecheckReport precheckReport(const PrecheckFindings& findings, const QStringList& sources,
                              const QStringList& targets, QChar separator)
{
    PrecheckReport report;
    if (findings.countMismatch()) {
        report.problems.append(
            u"名前 %1行 ≠ ファイル %2件"_s.arg(findings.lines).arg(findings.entries));
        report.details +=
            u"名前の行数とファイルの数が合いません。行がずれていないか確かめてください。\n"_s;
    }
    QStringList notes;
    for (const KindWords& words : kKinds) {
        const qsizetype count = findings.count(words.kind);
        if (count == 0)
            continue;
        const QString label = countText(words.label, count);
        if (kNoteKinds & kindBit(words.kind))
            notes.append(label);
        else
            report.problems.append(label);
        report.details += label + u": "_s + words.reason.toString() + u'\n';
        const QList<qsizetype>& first = findings.firstEntries[int(words.kind)];
        for (const qsizetype i : first)
            report.details +=
                entryLine(words.kind, i, sources.value(i), targets.value(i), separator);
        if (count > first.size())
            report.details += u"  ほか %1件\n"_s.arg(count - first.size());
    }
    report.unchanged = notes.join(u'・');
    report.details.chop(1);
    report.marks.reserve(findings.marked.size());
    for (const MarkedEntry& marked : findings.marked)
        report.marks.append({marked.entry, marked.kinds, entryTag(marked)});
    return report;
}

} // namespace quillet::rename
