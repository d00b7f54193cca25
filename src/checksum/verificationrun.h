#pragma once

#include "checksum/nameverification.h"

#include <QChar>
#include <QStringList>

#include <atomic>
#include <functional>

namespace quillet::checksum {

// Checks the checksums in the names of a batch's items, one item after the other, in order, on
// the thread that calls run(); any other thread may follow it and stop it.
class VerificationRun {
public:
    // Where the run is: the item being checked (its index) and how far its reading is.
    struct Position {
        qsizetype item = 0;
        qint64 bytesRead = 0;
        qint64 length = 0;
    };

    // Checks every path, telling `checked` each verdict as it comes; after a stop the items
    // left are not told. Returns whether every item was checked.
    bool run(const QStringList& paths, QChar separator,
             const std::function<void(qsizetype item, const NameVerdict& verdict)>& checked);

    // Any thread: the reading in progress ends at its next block, as stopped.
    void requestStop() { m_stop.store(true, std::memory_order_relaxed); }
    [[nodiscard]] bool stopRequested() const { return m_stop.load(std::memory_order_relaxed); }
    // Any thread.
    [[nodiscard]] Position position() const;

private:
    class Progress;

    std::atomic<bool> m_stop{false};
    std::atomic<qsizetype> m_item{0};
    std::atomic<qint64> m_bytesRead{0};
    std::atomic<qint64> m_length{0};
};

} // namespace quillet::checksum
