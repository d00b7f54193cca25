#include "rename/runplan.h"

#include "rename/targets.h"

#include <QDir>
#include <QHash>
#include <QRandomGenerator>

namespace quillet::rename {

using namespace Qt::Literals::StringLiterals;

QStringList RunPlan::sources() const
{
    QStringList paths;
    paths.reserve(moves.size());
    for (const PlannedMove& move : moves)
        paths.append(move.from);
    return paths;
}

QStringList RunPlan::targets() const
{
    QStringList paths;
    paths.reserve(moves.size());
    for (const PlannedMove& move : moves)
        paths.append(move.to);
    return paths;
}

QString randomTemporaryName(const QString& folder)
{
    return folder + u".quillet-"_s + QString::number(QRandomGenerator::global()->generate64(), 36);
}

QString comparablePath(const QString& path, QChar separator, const DiskRules& rules)
{
    QString key = path;
    if (separator != u'/')
        key.replace(separator, u'/');
    if (key.contains(u"/."_s) || key.contains(u"//"_s))
        key = QDir::cleanPath(key);
    if (rules.ignoresCase)
        key = key.toCaseFolded();
    return key;
}

RunPlan planInOrder(const QStringList& sources, const QStringList& targets)
{
    RunPlan plan;
    plan.moves.reserve(sources.size());
    for (qsizetype i = 0; i < sources.size(); ++i)
        plan.moves.append({i, sources.at(i), targets.value(i)});
    plan.freedBy.assign(size_t(sources.size()), -1);
    return plan;
}

namespace {

// "/d/A/x" → "/d/A", "/x" → "/"; nothing above the root.
QString parentKey(const QString& key)
{
    const qsizetype slash = key.lastIndexOf(u'/');
    if (slash < 0 || key == u"/"_s)
        return {};
    return slash == 0 ? u"/"_s : key.left(slash);
}

class Planner {
public:
    Planner(const QStringList& sources, const QStringList& targets, const std::vector<bool>& moving,
            QChar separator, DiskRulesCache& rules, const TemporaryNames& temporaryName)
        : m_sources(sources)
        , m_targets(targets)
        , m_moving(moving)
        , m_separator(separator)
        , m_rules(rules)
        , m_temporaryName(temporaryName)
        , m_count(sources.size())
    {
    }

    RunPlan plan()
    {
        index();
        m_state.assign(size_t(m_count), State::Unvisited);
        m_parked.assign(size_t(m_count), false);
        m_moved.assign(size_t(m_count), false);
        m_at.resize(m_count);
        m_plan.moves.reserve(m_count + 16);
        for (qsizetype i = 0; i < m_count; ++i) {
            if (m_state[size_t(i)] == State::Unvisited)
                visit(i);
        }
        m_plan.freedBy = std::move(m_waitsFor);
        return std::move(m_plan);
    }

private:
    enum class State : quint8 { Unvisited, Active, Done };
    struct Frame {
        qsizetype entry;
        int phase = 0;
        size_t child = 0;
    };

    bool moving(qsizetype i) const { return size_t(i) < m_moving.size() && m_moving[size_t(i)]; }

    void index()
    {
        m_sourceKeys.resize(m_count);
        m_targetKeys.resize(m_count);
        m_waitsFor.assign(size_t(m_count), -1);
        m_intoFolder.assign(size_t(m_count), -1);
        m_sourceContainer.assign(size_t(m_count), -1);
        m_targetContainer.assign(size_t(m_count), -1);
        m_children.resize(size_t(m_count));
        QHash<QString, qsizetype> targetOwner;
        m_sourceOwner.reserve(m_count);
        for (qsizetype i = 0; i < m_count; ++i) {
            const QString& source = m_sources.at(i);
            m_sourceKeys[i] =
                comparablePath(source, m_separator, m_rules.ofFolderOf(source, m_separator));
            const QString target = m_targets.value(i);
            if (moving(i) && !hasChecksumToken(target))
                m_targetKeys[i] =
                    comparablePath(target, m_separator, m_rules.ofFolderOf(target, m_separator));
            if (moving(i) && !m_sourceOwner.contains(m_sourceKeys.at(i)))
                m_sourceOwner.insert(m_sourceKeys.at(i), i); // the first of equal sources
        }
        for (qsizetype i = 0; i < m_count; ++i) {
            const QString& targetKey = m_targetKeys.at(i);
            if (targetKey.isEmpty())
                continue;
            if (const qsizetype holder = m_sourceOwner.value(targetKey, -1); holder != i)
                m_waitsFor[size_t(i)] = holder;
            if (!targetOwner.contains(targetKey))
                targetOwner.insert(targetKey, i);
        }
        for (qsizetype i = 0; i < m_count; ++i) {
            const qsizetype inSource =
                nearestOwner(parentKey(m_sourceKeys.at(i)), m_sourceOwner, m_sourceCache);
            m_sourceContainer[size_t(i)] = inSource;
            if (inSource >= 0)
                m_children[size_t(inSource)].push_back(i);
            if (m_targetKeys.at(i).isEmpty())
                continue;
            const QString targetFolder = parentKey(m_targetKeys.at(i));
            const qsizetype inTarget = nearestOwner(targetFolder, m_sourceOwner, m_sourceCache);
            if (inTarget >= 0 && inTarget != i) {
                m_targetContainer[size_t(i)] = inTarget;
                if (inTarget != inSource)
                    m_children[size_t(inTarget)].push_back(i);
            }
            // A target in a folder's old path means that folder, even where another folder
            // takes its name: the line was written next to the item.
            const qsizetype into =
                inTarget >= 0 ? -1 : nearestOwner(targetFolder, targetOwner, m_targetCache);
            if (into >= 0 && into != i)
                m_intoFolder[size_t(i)] = into;
        }
    }

    // The entry whose path is the folder or its nearest ancestor; -1 when none.
    static qsizetype nearestOwner(const QString& folderKey, const QHash<QString, qsizetype>& owners,
                                  QHash<QString, qsizetype>& cache)
    {
        if (folderKey.isEmpty() || owners.isEmpty())
            return -1;
        if (const auto known = cache.constFind(folderKey); known != cache.cend())
            return *known;
        qsizetype owner = owners.value(folderKey, -1);
        if (owner < 0)
            owner = nearestOwner(parentKey(folderKey), owners, cache);
        cache.insert(folderKey, owner);
        return owner;
    }

    void push(std::vector<Frame>& stack, qsizetype entry)
    {
        m_state[size_t(entry)] = State::Active;
        stack.push_back({entry});
    }

    void visit(qsizetype root)
    {
        std::vector<Frame> stack;
        push(stack, root);
        while (!stack.empty()) {
            Frame& frame = stack.back();
            const qsizetype i = frame.entry;
            if (frame.phase == 0) {
                // Items inside a folder first, while its old path still holds them.
                const std::vector<qsizetype>& children = m_children[size_t(i)];
                if (frame.child < children.size()) {
                    const qsizetype child = children[frame.child++];
                    if (m_state[size_t(child)] == State::Unvisited)
                        push(stack, child);
                    continue;
                }
                frame.phase = 1;
            }
            if (frame.phase == 1) {
                // The folder the target lies in is the new name of another entry.
                frame.phase = 2;
                const qsizetype folder = m_intoFolder[size_t(i)];
                if (folder >= 0 && m_state[size_t(folder)] == State::Unvisited) {
                    push(stack, folder);
                    continue;
                }
            }
            if (frame.phase == 2) {
                frame.phase = 3;
                const qsizetype holder = m_waitsFor[size_t(i)];
                if (holder >= 0 && m_state[size_t(holder)] == State::Unvisited) {
                    push(stack, holder);
                    continue;
                }
                // Waiting for an entry that waits for this one: it steps aside.
                if (holder >= 0 && m_state[size_t(holder)] == State::Active
                    && !m_parked[size_t(holder)])
                    park(holder);
            }
            finish(i);
            m_state[size_t(i)] = State::Done;
            stack.pop_back();
        }
    }

    void park(qsizetype entry)
    {
        if (m_openParks++ == 0)
            m_plan.cycles.append({m_plan.moves.size(), -1});
        const QString from = location(entry);
        const QString temporary = m_temporaryName(from.left(from.lastIndexOf(m_separator) + 1));
        m_plan.moves.append(
            {entry, from, temporary, PlannedMove::Step::ToTemporary, m_plan.cycles.size() - 1});
        m_parked[size_t(entry)] = true;
        m_moved[size_t(entry)] = true;
        m_at[entry] = temporary;
    }

    void finish(qsizetype entry)
    {
        const bool parked = m_parked[size_t(entry)];
        PlannedMove move{entry, location(entry), targetLocation(entry),
                         parked ? PlannedMove::Step::FromTemporary : PlannedMove::Step::Whole,
                         m_openParks > 0 ? m_plan.cycles.size() - 1 : -1};
        m_at[entry] = move.to;
        m_moved[size_t(entry)] = moving(entry);
        m_plan.moves.append(std::move(move));
        if (parked && --m_openParks == 0)
            m_plan.cycles.last().last = m_plan.moves.size() - 1;
    }

    // Where the item of an entry is at this point of the run.
    QString location(qsizetype entry) const
    {
        if (m_moved[size_t(entry)])
            return m_at.at(entry);
        return followFolder(m_sources.at(entry), m_sourceContainer[size_t(entry)]);
    }

    QString targetLocation(qsizetype entry) const
    {
        const QString target = m_targets.value(entry);
        // An unchanged item inside a folder that stepped aside stays unchanged there.
        if (target == m_sources.at(entry))
            return location(entry);
        if (m_targetKeys.at(entry).isEmpty())
            return target;
        return followFolder(target, m_targetContainer[size_t(entry)]);
    }

    // A path inside the folder of entry `folder`, where that folder is now.
    QString followFolder(const QString& path, qsizetype folder) const
    {
        if (folder < 0)
            return path;
        const QString folderNow = location(folder);
        if (folderNow == m_sources.at(folder))
            return path;
        QString tail =
            comparablePath(path, m_separator, DiskRules{}).sliced(m_sourceKeys.at(folder).size());
        if (m_separator != u'/')
            tail.replace(u'/', m_separator);
        return folderNow + tail;
    }

    const QStringList& m_sources;
    const QStringList& m_targets;
    const std::vector<bool>& m_moving;
    QChar m_separator;
    DiskRulesCache& m_rules;
    const TemporaryNames& m_temporaryName;
    qsizetype m_count;

    QStringList m_sourceKeys;
    QStringList m_targetKeys; // empty: the entry frees nothing it could wait for
    QHash<QString, qsizetype> m_sourceOwner;
    QHash<QString, qsizetype> m_sourceCache;
    QHash<QString, qsizetype> m_targetCache;
    std::vector<qsizetype> m_waitsFor;        // the entry that holds this one's target
    std::vector<qsizetype> m_intoFolder;      // the entry whose new name holds the target
    std::vector<qsizetype> m_sourceContainer; // the moved folder the source lies in
    std::vector<qsizetype> m_targetContainer; // the moved folder the target lies in
    std::vector<std::vector<qsizetype>> m_children;

    std::vector<State> m_state;
    std::vector<bool> m_parked;
    std::vector<bool> m_moved;
    QStringList m_at; // where a moved item is
    qsizetype m_openParks = 0;
    RunPlan m_plan;
};

} // namespace

RunPlan planRun(const QStringList& sources, const QStringList& targets,
                const std::vector<bool>& moving, QChar separator, DiskRulesCache& rules,
                const TemporaryNames& temporaryName)
{
    return Planner(sources, targets, moving, separator, rules, temporaryName).plan();
}

} // namespace quillet::rename
