#include "checksum/secondreaderjudge.h"

namespace quillet::checksum {

SecondReaderJudge::SecondReaderJudge(double seconds)
    : m_windowStart(seconds)
{
}

SecondReaderJudge::Step SecondReaderJudge::chunkDone(qint64 summedBytes, double seconds)
{
    switch (m_state) {
    case State::Left: return Step::SecondReaderLeaves;
    case State::WarmingUp:
        // The first chunk also pays for what a fresh start costs (the first touch of the
        // pages of the file and of the buffers, a core coming out of idle): it is not timed.
        m_state = State::Solo;
        m_windowStart = seconds;
        m_windowBytes = summedBytes;
        return Step::ReadAlone;
    case State::Solo: {
        if (summedBytes < kSoloBytes)
            return Step::ReadAlone;
        const double elapsed = seconds - m_windowStart;
        // A clock that did not move tells nothing: the second reader joins, as it did before
        // this was measured.
        m_soloRate = elapsed > 0 ? double(summedBytes - m_windowBytes) / elapsed : 0;
        m_state = State::Starting;
        m_windowStart = seconds;
        m_windowBytes = summedBytes;
        return Step::StartSecondReader;
    }
    case State::Starting:
    case State::Together: break;
    }
    if (summedBytes - m_windowBytes < kWindowBytes)
        return Step::ReadTogether;
    if (m_state == State::Starting) {
        m_state = State::Together;
    } else {
        const double elapsed = seconds - m_windowStart;
        const double rate = elapsed > 0 ? double(summedBytes - m_windowBytes) / elapsed : 0;
        m_slowWindows = elapsed > 0 && rate < m_soloRate ? m_slowWindows + 1 : 0;
        if (m_slowWindows >= kSlowWindows) {
            m_state = State::Left;
            return Step::SecondReaderLeaves;
        }
    }
    m_windowStart = seconds;
    m_windowBytes = summedBytes;
    return Step::ReadTogether;
}

} // namespace quillet::checksum
