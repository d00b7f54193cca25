#pragma once

#include <QtGlobal>

namespace quillet::checksum {

// Decides whether a second reader pays for a checksum, by what it does to the speed rather than
// by how busy the machine looks: the first reader reads alone for kSoloBytes, which gives the
// rate one reader reaches now (its first chunk untimed: a fresh start's costs made one reader
// look slower than it is, and kept a second reader that made the checksum slower); then the second
// joins, and after every kWindowBytes the two summed together their rate is compared with that one.
// Once two readers were slower than one was alone over kSlowWindows windows in a row, the second
// leaves for good: the first goes on as a single reader would.
//
// A window lasts about 10 ms on a cached file, a few time slices of the scheduler, so its rate
// swings with whatever else runs: a window drawn anew as a run starts took the readers' cores
// for several milliseconds. And the first window after the second joins holds its start (and
// counts none of its chunks still being read). That window is not judged, and a single slow
// one is not enough: a wrong leave costs the gain of the second reader on an idle machine, which
// is most of what it is there for, while staying where it does not pay costs little, as the
// two share the file in chunks.
class SecondReaderJudge {
public:
    static constexpr qint64 kSoloBytes = qint64(32) << 20;
    static constexpr qint64 kWindowBytes = qint64(128) << 20;
    static constexpr int kSlowWindows = 2;

    enum class Step {
        ReadAlone,         // the first reader goes on alone
        StartSecondReader, // one reader's rate is known: the second may join now
        ReadTogether,      // the second pays, or it is too early to tell
        SecondReaderLeaves // two were slower than one: the second leaves, now and for good
    };

    // Starts timing; `seconds` on any steady clock, the same for every call.
    explicit SecondReaderJudge(double seconds);

    // Told by the first reader after each of its chunks: the bytes both readers summed so far
    // and the time now.
    [[nodiscard]] Step chunkDone(qint64 summedBytes, double seconds);

private:
    enum class State { WarmingUp, Solo, Starting, Together, Left };

    State m_state = State::WarmingUp;
    double m_soloRate = 0; // bytes per second of one reader alone
    double m_windowStart;
    qint64 m_windowBytes = 0; // summed when the window started
    int m_slowWindows = 0;    // in a row
};

} // namespace quillet::checksum
