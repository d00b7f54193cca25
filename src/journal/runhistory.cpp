#include "journal/runhistory.h"

#include "batch/nativepath.h"

#include "journal/journalfolder.h"
#include "journal/journalreader.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace quillet::journal {

using namespace Qt::Literals::StringLiterals;

namespace {

QString shown(const QString& path)
{
    return batch::displayText(path, QDir::separator());
}

// The same item, whatever happened to its size since: a later run may have renamed a file that
// was written to in between, and it is still the file the user is looking for.
bool sameInode(const ItemIdentity& a, const ItemIdentity& b)
{
    if (a.inode == 0 || b.inode == 0)
        return a.sameItem(b);
    if (a.type != b.type || a.device != b.device || a.inode != b.inode)
        return false;
    return a.createdNs == 0 || b.createdNs == 0 || a.createdNs == b.createdNs;
}

// Names, for each problem of the plan, the first later run that renamed its item away or put
// another item in its old place. `later` holds the runs after the one undone, oldest first.
void explainByLaterRuns(QList<UndoProblem>& problems, const JournalContents& undone,
                        const QList<JournalContents>& later)
{
    for (UndoProblem& problem : problems) {
        if (problem.reason == kLeftReservationReason)
            continue;
        const auto entry = std::find_if(
            undone.entries.cbegin(), undone.entries.cend(), [&problem](const JournalEntry& e) {
                return e.to == problem.path && e.from == problem.originalPath;
            });
        if (entry == undone.entries.cend())
            continue;
        const bool occupied = problem.reason == kOccupiedReason;
        for (const JournalContents& run : later) {
            const auto by =
                std::find_if(run.entries.cbegin(), run.entries.cend(), [&](const JournalEntry& e) {
                    if (e.state == JournalEntry::State::NotRenamed)
                        return false;
                    if (occupied)
                        return e.to == problem.originalPath;
                    return e.from == problem.path && sameInode(e.identity, entry->identity);
                });
            if (by == run.entries.cend())
                continue;
            problem.laterRun = QFileInfo(run.path).fileName();
            const QString when = runTimeText(run.startedUtc) + u" の"_s + runKindText(run.kind);
            problem.reason = occupied
                                 ? u"後の%1で、別の項目が元の名前になりました"_s.arg(when)
                                 : u"後の%1で、%2 に名前が変わりました"_s.arg(when, shown(by->to));
            break;
        }
    }
}

struct ReadRun {
    QString path;
    JournalRead read;
};

// Every journal of the folder, oldest first.
QList<ReadRun> readAll(const QString& journalFolder)
{
    QList<ReadRun> runs;
    for (const QString& path : journalFiles(journalFolder))
        runs.append({path, readJournal(path)});
    return runs;
}

QList<JournalContents> laterThan(const QList<ReadRun>& runs, qsizetype index)
{
    QList<JournalContents> later;
    for (qsizetype i = index + 1; i < runs.size(); ++i) {
        if (runs.at(i).read.contents)
            later.append(*runs.at(i).read.contents);
    }
    return later;
}

RunRecord recordOf(const JournalContents& run)
{
    RunRecord record;
    record.journalPath = run.path;
    record.kind = run.kind;
    record.startedUtc = run.startedUtc;
    record.undoes = run.undoes;
    record.ended = run.ended;
    QList<std::pair<QString, QString>> renames;
    for (const JournalEntry& entry : run.entries) {
        if (entry.state != JournalEntry::State::NotRenamed)
            renames.append({entry.from, entry.to});
    }
    // A cycle's step aside under a temporary name is no item of its own.
    const QList<std::pair<QString, QString>> items = movedItems(renames);
    record.count = items.size();
    for (const auto& [from, to] : items) {
        const QString folder = QFileInfo(from).path();
        if (!record.folders.contains(folder))
            record.folders.append(folder);
        if (record.firstNames.size() < kShownNames)
            record.firstNames.append({from, to});
    }
    return record;
}

} // namespace

QString RunRecord::fileName() const
{
    return QFileInfo(journalPath).fileName();
}

QList<RunRecord> recentRuns(const QString& journalFolder, const IdentityLookup& lookup)
{
    const QList<ReadRun> runs = readAll(journalFolder);
    QList<RunRecord> records;
    for (qsizetype i = runs.size() - 1; i >= 0; --i) {
        const ReadRun& run = runs.at(i);
        if (!run.read.contents) {
            RunRecord record;
            record.journalPath = run.path;
            record.damage = run.read.damage;
            records.append(record);
            continue;
        }
        RunRecord record = recordOf(*run.read.contents);
        UndoPlan plan = planUndo(*run.read.contents, lookup);
        explainByLaterRuns(plan.problems, *run.read.contents, laterThan(runs, i));
        record.undoable = plan.itemCount();
        record.problems = std::move(plan.problems);
        records.append(std::move(record));
    }
    return records;
}

RunUndo planUndoOfRun(const QString& journalFolder, const QString& journalName,
                      const IdentityLookup& lookup)
{
    if (const std::optional<QString> problem = checkJournalFolder(journalFolder, false)) {
        return {std::nullopt,
                u"リネームの記録のフォルダが使えないため、元に戻せません。\r\n\r\n"_s + *problem};
    }
    const QList<ReadRun> runs = readAll(journalFolder);
    const auto found = std::find_if(runs.cbegin(), runs.cend(), [&journalName](const ReadRun& r) {
        return QFileInfo(r.path).fileName() == journalName;
    });
    // Kept runs are removed as new ones start: the run may have gone since it was listed.
    if (found == runs.cend())
        return {std::nullopt, u"このリネームの記録はもうありません。"_s};
    if (!found->read.contents) {
        return {std::nullopt,
                u"リネームの記録が壊れているため、元に戻せません。\r\n\r\n"_s + found->read.damage};
    }
    UndoPlan plan = planUndo(*found->read.contents, lookup);
    explainByLaterRuns(plan.problems, *found->read.contents,
                       laterThan(runs, found - runs.cbegin()));
    if (plan.steps.isEmpty() && plan.problems.isEmpty())
        return {std::nullopt, u"このリネームは、すべて元の名前に戻っています。"_s};
    return {std::move(plan), QString()};
}

RunKind takingBackKind(RunKind kind)
{
    return kind == RunKind::Undo ? RunKind::Redo : RunKind::Undo;
}

QString runTimeText(const QDateTime& startedUtc)
{
    return startedUtc.toLocalTime().toString(u"yyyy/MM/dd HH:mm"_s);
}

QString runKindText(RunKind kind)
{
    switch (kind) {
    case RunKind::Undo: return u"元に戻し"_s;
    case RunKind::Redo: return u"やり直し"_s;
    case RunKind::Rename: break;
    }
    return u"リネーム"_s;
}

QString takingBackState(const RunRecord& record)
{
    if (!record.damage.isEmpty())
        return u"記録が壊れています"_s;
    const QString verb = record.kind == RunKind::Undo ? u"やり直せ"_s : u"元に戻せ"_s;
    if (record.undoable == 0)
        return record.problems.isEmpty() ? u"取り消し済みです"_s : verb + u"ません"_s;
    if (record.problems.isEmpty())
        return verb + u"ます"_s;
    return u"一部（%1件）を%2ます"_s.arg(record.undoable).arg(verb);
}

QString takingBackVerb(RunKind undoneKind)
{
    return undoneKind == RunKind::Undo ? u"やり直す"_s : u"元に戻す"_s;
}

QString takingBackLine(const UndoPlan& plan)
{
    return u"%1 の%2 %3件を%4"_s
        .arg(runTimeText(plan.undoneStartedUtc), runKindText(plan.undoneKind))
        .arg(plan.itemCount())
        .arg(plan.undoneKind == RunKind::Undo ? u"やり直します"_s : u"元に戻します"_s);
}

} // namespace quillet::journal
