#include "journal/undoplan.h"

#include "batch/nativepath.h"

#include "journal/journalfolder.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace quillet::journal {

using namespace Qt::Literals::StringLiterals;

namespace {

// The disk as it will be once the steps planned so far have run: planned moves are laid over
// what the lookup finds, and a folder planned to move takes the paths inside it along.
class PlannedDisk {
public:
    explicit PlannedDisk(const IdentityLookup& lookup)
        : m_lookup(lookup)
    {
    }

    std::optional<ItemIdentity> at(const QString& path) const
    {
        if (const auto planned = m_planned.constFind(path); planned != m_planned.cend())
            return *planned;
        return m_lookup(whereNow(path));
    }

    void move(const QString& from, const QString& to, const ItemIdentity& identity)
    {
        m_planned.insert(from, std::nullopt);
        m_planned.insert(to, identity);
        if (identity.type == ItemIdentity::Type::Folder)
            m_folderMoves.prepend({from, to});
    }

private:
    // Where an item that will be at `path` once the planned folder moves ran is now.
    QString whereNow(QString path) const
    {
        for (const auto& [from, to] : m_folderMoves) {
            if (path.size() > to.size() && path.startsWith(to) && path.at(to.size()) == u'/')
                path = from + path.sliced(to.size());
        }
        return path;
    }

    const IdentityLookup& m_lookup;
    QHash<QString, std::optional<ItemIdentity>> m_planned;
    QList<std::pair<QString, QString>> m_folderMoves; // newest first
};

// A change of letter case taken back on a disk that ignores case finds the item itself at its
// old spelling. Some drivers (FAT through FUSE) number an item anew for each spelling looked up,
// so it is known by what the spellings share: kind, size and modification time.
bool sameSpellingOtherCase(const JournalEntry& entry, const ItemIdentity& atNew,
                           const ItemIdentity& atOld)
{
    return entry.from.compare(entry.to, Qt::CaseInsensitive) == 0 && atOld.type == atNew.type
           && atOld.device == atNew.device && atOld.size == atNew.size
           && atOld.modifiedNs == atNew.modifiedNs;
}

} // namespace

QStringList UndoPlan::sources() const
{
    QStringList paths;
    for (const UndoStep& step : steps)
        paths.append(step.from);
    return paths;
}

QList<std::pair<QString, QString>> movedItems(const QList<std::pair<QString, QString>>& renames)
{
    QList<std::pair<QString, QString>> items;
    QHash<QString, qsizetype> itemAt; // where a moved item is now → its index in items
    for (const auto& [from, to] : renames) {
        if (const auto moved = itemAt.constFind(from); moved != itemAt.cend()) {
            const qsizetype item = *moved;
            itemAt.erase(moved);
            items[item].second = to;
            itemAt.insert(to, item);
            continue;
        }
        itemAt.insert(to, items.size());
        items.append({from, to});
    }
    return items;
}

qsizetype UndoPlan::itemCount() const
{
    QList<std::pair<QString, QString>> renames;
    renames.reserve(steps.size());
    for (const UndoStep& step : steps)
        renames.append({step.from, step.to});
    return movedItems(renames).size();
}

QStringList UndoPlan::targets() const
{
    QStringList paths;
    for (const UndoStep& step : steps)
        paths.append(step.to);
    return paths;
}

UndoPlan planUndo(const JournalContents& journal, const IdentityLookup& lookup)
{
    UndoPlan plan;
    plan.journalPath = journal.path;
    plan.undoneKind = journal.kind;
    plan.undoneStartedUtc = journal.startedUtc;
    PlannedDisk disk(lookup);
    for (auto entry = journal.entries.crbegin(); entry != journal.entries.crend(); ++entry) {
        if (entry->state == JournalEntry::State::NotRenamed)
            continue;
        const ItemIdentity& expected = entry->identity;
        const auto isIt = [&expected](const std::optional<ItemIdentity>& found) {
            return found && found->sameItem(expected);
        };
        const std::optional<ItemIdentity> atNew = disk.at(entry->to);
        if (isIt(atNew)) {
            // Never over another item: the run would have to ask for a name, and an undo
            // puts back names, it does not make them up. (The item itself may answer at its
            // old path on a file system that ignores case.)
            if (const std::optional<ItemIdentity> atOld = disk.at(entry->from);
                atOld && !isIt(atOld) && !sameSpellingOtherCase(*entry, *atNew, *atOld)) {
                plan.problems.append(
                    {entry->to, entry->from, kOccupiedReason.toString(), QString()});
                continue;
            }
            plan.steps.append({entry->to, entry->from, *atNew});
            disk.move(entry->to, entry->from, *atNew);
            continue;
        }
        const std::optional<ItemIdentity> atOld = disk.at(entry->from);
        if (entry->state == JournalEntry::State::Unknown && !entry->helper.isEmpty()) {
            // Stopped halfway through a rename by way of a temporary name: it goes back from
            // there. A reservation of the new name that the item never took is told.
            if (const std::optional<ItemIdentity> atHelper = disk.at(entry->helper);
                entry->helper != entry->to && isIt(atHelper)) {
                plan.steps.append({entry->helper, entry->from, *atHelper});
                disk.move(entry->helper, entry->from, *atHelper);
                continue;
            }
            if (entry->helper == entry->to && atNew && isIt(atOld)) {
                plan.problems.append(
                    {entry->to, entry->from, kLeftReservationReason.toString(), QString()});
                continue;
            }
        }
        // Still (or again) at its old path: never renamed, or already taken back.
        if (isIt(atOld))
            continue;
        plan.problems.append({entry->to, entry->from,
                              (atNew ? kReplacedReason : kMissingReason).toString(), QString()});
    }
    return plan;
}

QString nothingToUndoMessage()
{
    return u"元に戻せるリネームがありません。"_s;
}

namespace {

bool stoppedHalfway(const JournalContents& run)
{
    return !run.ended || std::any_of(run.entries.cbegin(), run.entries.cend(), [](const auto& e) {
        return e.state == JournalEntry::State::NotRenamed;
    });
}

// The plan that finishes the undo (or redo) `run` when it stopped halfway and the run it took
// back is still kept with something left to take back.
std::optional<UndoPlan> restOfStoppedUndo(const JournalContents& run, const QStringList& files,
                                          const IdentityLookup& lookup)
{
    if (run.kind == RunKind::Rename || run.undoes.isEmpty() || !stoppedHalfway(run))
        return std::nullopt;
    const auto undone = std::find_if(files.cbegin(), files.cend(), [&run](const QString& file) {
        return QFileInfo(file).fileName() == run.undoes;
    });
    if (undone == files.cend())
        return std::nullopt;
    const JournalRead read = readJournal(*undone);
    if (!read.contents)
        return std::nullopt;
    UndoPlan plan = planUndo(*read.contents, lookup);
    if (plan.steps.isEmpty())
        return std::nullopt;
    return plan;
}

} // namespace

LastRunUndo planUndoOfLastRun(const QString& journalFolder, const IdentityLookup& lookup)
{
    if (!QFileInfo::exists(journalFolder) && !QFileInfo(journalFolder).isSymLink())
        return {std::nullopt, nothingToUndoMessage()};
    if (const std::optional<QString> problem = checkJournalFolder(journalFolder, false)) {
        return {std::nullopt,
                u"リネームの記録のフォルダが使えないため、元に戻せません。\r\n\r\n"_s + *problem};
    }
    const QStringList files = journalFiles(journalFolder);
    for (auto file = files.crbegin(); file != files.crend(); ++file) {
        const JournalRead read = readJournal(*file);
        if (!read.contents) {
            return {std::nullopt,
                    u"リネームの記録が壊れているため、元に戻せません。\r\n\r\n"_s + read.damage};
        }
        // An undo that was stopped or killed halfway is finished, not flipped: what the user
        // wanted back is the run it was taking back, and what of that run is still not back.
        if (std::optional<UndoPlan> rest = restOfStoppedUndo(*read.contents, files, lookup))
            return {std::move(rest), QString()};
        UndoPlan plan = planUndo(*read.contents, lookup);
        // A run stopped before its first rename went through has nothing to take back; the
        // run before it is the last one that changed names.
        if (!plan.steps.isEmpty() || !plan.problems.isEmpty())
            return {std::move(plan), QString()};
    }
    return {std::nullopt, nothingToUndoMessage()};
}

QString undoProblemsMessage(const QList<UndoProblem>& problems, QChar separator)
{
    // The headline gives a cause only when every entry shares it: an entry whose old place is
    // taken, or a reservation left by a stopped run, was neither moved nor replaced.
    const bool movedOrReplaced =
        std::all_of(problems.cbegin(), problems.cend(), [](const UndoProblem& problem) {
            return problem.reason == kMissingReason || problem.reason == kReplacedReason;
        });
    QString text =
        (movedOrReplaced
             ? u"次の%1件は、リネームの後に移動または置き換えられたため、元に戻しません。\r\n"_s
             : u"次の%1件は元に戻しません。\r\n"_s)
            .arg(problems.size());
    for (const UndoProblem& problem : problems) {
        text += u"\r\n"_s + batch::displayText(problem.path, separator) + u"\r\n    "_s
                + problem.reason;
    }
    return text;
}

} // namespace quillet::journal
