#pragma once

// Cuts a file short the first time it is read, as another program truncating it in the middle
// of a checksum would: a thread of its own waits for the file's first read (inotify) and then
// truncates it. It gives up when destroyed, so a test that fails before the read never hangs.
#include <QFile>
#include <QString>

#include <atomic>
#include <thread>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace quillet::test {

class CutOnFirstRead {
public:
    CutOnFirstRead(const QString& path, qint64 size)
        : m_watch(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK))
    {
        if (m_watch < 0
            || ::inotify_add_watch(m_watch, QFile::encodeName(path).constData(), IN_ACCESS) < 0)
            qFatal("no inotify watch on %s", qPrintable(path));
        m_thread = std::thread([this, path, size] {
            pollfd watch{m_watch, POLLIN, 0};
            while (!m_stop.load()) {
                if (::poll(&watch, 1, 50) > 0) {
                    QFile(path).resize(size);
                    m_cut = true;
                    return;
                }
            }
        });
    }
    ~CutOnFirstRead()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_watch);
    }
    CutOnFirstRead(const CutOnFirstRead&) = delete;
    CutOnFirstRead& operator=(const CutOnFirstRead&) = delete;

    [[nodiscard]] bool cut() const { return m_cut.load(); }

private:
    int m_watch;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_cut{false};
    std::thread m_thread;
};

} // namespace quillet::test
