#include "recipe/batchsteps.h"

namespace quillet::recipe {

void BatchSteps::Replay::add(const Change& change)
{
    switch (change.kind) {
    case Change::Kind::Steps:
        steps.append(change.steps);
        followsHandEdits = followsHandEdits || handEditBefore;
        break;
    case Change::Kind::HandEdit: handEditBefore = true; break;
    case Change::Kind::Intake: break;
    case Change::Kind::Restore: *this = {}; break;
    }
}

void BatchSteps::changed(const Change& change)
{
    m_recent.resize(m_done);
    m_recent.append(change);
    ++m_done;
    while (m_recent.size() > kReach) {
        m_settled.add(m_recent.takeFirst());
        --m_done;
    }
}

void BatchSteps::back()
{
    if (m_done > 0)
        --m_done;
}

void BatchSteps::forward()
{
    if (m_done < m_recent.size())
        ++m_done;
}

void BatchSteps::clear()
{
    *this = {};
}

BatchSteps::Replay BatchSteps::replayed() const
{
    Replay replay = m_settled;
    for (qsizetype i = 0; i < m_done; ++i)
        replay.add(m_recent.at(i));
    return replay;
}

QList<Step> BatchSteps::steps() const
{
    return replayed().steps;
}

bool BatchSteps::followsHandEdits() const
{
    return replayed().followsHandEdits;
}

} // namespace quillet::recipe
