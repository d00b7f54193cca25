#include "journal/undoplan.h"

#include "batch/nativepath.h"

#include <QHash>

namespace quillet::journal {

using namespace Qt::Literals::StringLiterals;

namespace {

// The disk as it will be once the steps planned so far have run: planned moves are laid over
// what the lookup finds.
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
        return m_lookup(path);
    }

    void move(const QString& from, const QString& to, const ItemIdentity& identity)
    {
        m_planned.insert(from, std::nullopt);
        m_planned.insert(to, identity);
    }

private:
    const IdentityLookup& m_lookup;
    QHash<QString, std::optional<ItemIdentity>> m_planned;
};

} // namespace

QStringList UndoPlan::sources() const
{
    QStringList paths;
    for (const UndoStep& step : steps)
        paths.append(step.from);
    return paths;
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
    PlannedDisk disk(lookup);
    for (auto entry = journal.entries.crbegin(); entry != journal.entries.crend(); ++entry) {
        if (entry->state == JournalEntry::State::NotRenamed)
            continue;
        const std::optional<ItemIdentity> atNew = disk.at(entry->to);
        std::optional<ItemIdentity> expected =
            entry->state == JournalEntry::State::Renamed && entry->after ? entry->after
                                                                         : entry->before;
        if (entry->state == JournalEntry::State::Unknown) {
            // The program stopped between the attempt and its outcome. The item is where the
            // rename would have put it: it happened. Still at its old path: it did not.
            const std::optional<ItemIdentity> atOld = disk.at(entry->from);
            if (expected) {
                const bool moved = atNew && atNew->sameItem(*expected);
                if (!moved && atOld && atOld->sameItem(*expected))
                    continue;
                if (!moved) {
                    plan.problems.append({entry->to, entry->from, kMissingReason.toString()});
                    continue;
                }
            } else {
                // Nothing was known of the item before the attempt: the old path empty and
                // the new one taken is the sign that the rename went through.
                if (atOld || !atNew)
                    continue;
                expected = atNew;
            }
        } else if (!expected) {
            // A rename recorded as done whose item could not be looked at: whatever is at the
            // new path now is taken to be it.
            expected = atNew;
        }
        if (!atNew) {
            plan.problems.append({entry->to, entry->from, kMissingReason.toString()});
            continue;
        }
        if (!atNew->sameItem(*expected)) {
            plan.problems.append({entry->to, entry->from, kReplacedReason.toString()});
            continue;
        }
        plan.steps.append({entry->to, entry->from, *atNew});
        disk.move(entry->to, entry->from, *atNew);
    }
    return plan;
}

QString nothingToUndoMessage()
{
    return u"元に戻せるリネームがありません。"_s;
}

LastRunUndo planUndoOfLastRun(const QString& journalFolder, const IdentityLookup& lookup)
{
    const QStringList files = journalFiles(journalFolder);
    for (auto file = files.crbegin(); file != files.crend(); ++file) {
        const JournalRead read = readJournal(*file);
        if (!read.contents) {
            return {std::nullopt,
                    u"リネームの記録が壊れているため、元に戻せません。\r\n\r\n"_s + read.damage};
        }
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
    QString text =
        u"次の%1件は、リネームの後に移動または置き換えられたため、元に戻しません。\r\n"_s.arg(
            problems.size());
    for (const UndoProblem& problem : problems) {
        text += u"\r\n"_s + batch::displayText(problem.path, separator) + u"\r\n    "_s
                + problem.reason;
    }
    return text;
}

} // namespace quillet::journal
