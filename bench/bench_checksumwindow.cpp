// The checksum as the user waits for it: a click on "リネームする" in 確認 to the new name on
// disk, for a cached file whose new name holds its CRC-32, against the same checksum without a
// window (as BM_FileChecksum measures it) and a plain read() loop in 1,000,000-byte blocks over
// the same file, interleaved round by round. Only meaningful under a real display server with
// a window manager: bench/checksum_window.sh starts Xvfb and openbox and runs this.
// Arguments: [file size in MiB, default 2048] [rounds, default 5]
#include "checksum/filechecksum.h"
#include "patternfile.h"
#include "ui/form1.h"
#include "ui/form2.h"

#include "batch/nativepath.h"
#include "silentdialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kMiB = qint64(1) << 20;

class NoProgress final : public checksum::ChecksumProgress {
public:
    void begin(const QString&) override {}
    void step(const QString&) override {}
    void end() override {}
};

// The plain loop: read() in blocks of 1,000,000 bytes, nothing done with them. Also what puts
// the file in the page cache.
double readLoopSeconds(const QString& path)
{
    QElapsedTimer clock;
    clock.start();
    const int fd = ::open(batch::nativeBytesFromPath(path).constData(), O_RDONLY | O_CLOEXEC);
    std::vector<char> buffer(1'000'000);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
    return double(clock.nsecsElapsed()) / 1e9;
}

double checksumSeconds(const QString& path)
{
    QElapsedTimer clock;
    clock.start();
    NoProgress progress;
    if (!checksum::FileChecksum(path, checksum::ChecksumKind::Crc32, progress).text)
        qFatal("no checksum");
    return double(clock.nsecsElapsed()) / 1e9;
}

ui::Form2* confirmWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* form2 = qobject_cast<ui::Form2*>(widget); form2 && form2->isVisible())
            return form2;
    }
    return nullptr;
}

// Waits, with the event loop running, until `done` holds; false after 60 s. Looks every
// `intervalMs`: each look wakes the window's thread, which then shares the cores with the run.
template <typename Done> bool waitFor(Done&& done, int intervalMs = 1)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 60'000)
            return false;
        QEventLoop loop;
        QTimer::singleShot(intervalMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// The moment the file leaves its name, taken by a thread of its own that sleeps in read() on
// an inotify watch of the folder until the rename: looking from the window's thread would add
// whatever that thread is busy with (painting the windows of the run) to the time, and each look
// would take a share of the cores from the run.
class RenameClock {
public:
    RenameClock(const QString& dir, const QByteArray& name)
        : m_fd(::inotify_init1(IN_CLOEXEC))
    {
        if (m_fd < 0
            || ::inotify_add_watch(m_fd, batch::nativeBytesFromPath(dir).constData(), IN_MOVED_FROM)
                   < 0)
            qFatal("no inotify watch");
        m_thread = std::thread([this, name] {
            alignas(inotify_event) char buffer[4096];
            for (;;) {
                const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
                if (got <= 0)
                    return;
                for (ssize_t at = 0; at < got;) {
                    const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                    if (event->len > 0 && name == event->name) {
                        m_renamedNs = std::chrono::steady_clock::now().time_since_epoch().count();
                        return;
                    }
                    at += ssize_t(sizeof(inotify_event) + event->len);
                }
            }
        });
    }
    ~RenameClock()
    {
        m_thread.join();
        ::close(m_fd);
    }
    // Steady-clock nanoseconds of the rename; 0 until it happened.
    [[nodiscard]] qint64 renamedNs() const { return m_renamedNs; }

private:
    int m_fd;
    std::thread m_thread;
    std::atomic<qint64> m_renamedNs{0};
};

qint64 nowNs()
{
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

// One click on リネームする until the file has its new name; the file is put back after. The
// time runs from the release of the button, which is what starts the run: the press only
// draws the button pressed, while the user's finger is still down.
double throughWindowSeconds(ui::Form1& window, const QString& dir, const QString& path)
{
    window.takeInFiles({path});
    auto* editor = window.findChild<QPlainTextEdit*>(u"Text1"_s);
    editor->selectAll();
    editor->insertPlainText(u"big [*/CRC32/*]"_s);
    QTest::mouseClick(window.findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
    ui::Form2* form2 = nullptr;
    if (!waitFor([&] { return (form2 = confirmWindow()) != nullptr; })
        || !QTest::qWaitForWindowExposed(form2))
        qFatal("確認 did not open");
    QTest::qWait(200); // the window manager has placed it
    auto* button = form2->findChild<QPushButton*>(u"Command1"_s);
    QTest::mousePress(button, Qt::LeftButton);
    QTest::qWait(50);
    const RenameClock renamed(dir, QFileInfo(path).fileName().toLocal8Bit());
    const qint64 released = nowNs();
    QTest::mouseRelease(button, Qt::LeftButton);
    if (!waitFor([&] { return renamed.renamedNs() != 0; }, 20))
        qFatal("the file was not renamed");
    const double seconds = double(renamed.renamedNs() - released) / 1e9;
    const QStringList renamedFiles = QDir(dir).entryList({u"big *"_s}, QDir::Files);
    if (renamedFiles.size() != 1 || !QFile::rename(dir + u'/' + renamedFiles.first(), path))
        qFatal("cannot put the file back");
    waitFor([&] { return !window.isRenaming() && !confirmWindow(); });
    return seconds;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const qint64 mib = argc > 1 ? QByteArray(argv[1]).toLongLong() : 2048;
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 5;
    std::printf("platform %s, %lld MiB, %d rounds\n", qPrintable(QApplication::platformName()), mib,
                rounds);

    QTemporaryDir data;
    QTemporaryDir files;
    const QString path = files.filePath(u"f.bin"_s);
    bench::writePatternFile(path, mib * kMiB);
    bench::SilentDialogs dialogs;
    ui::Form1 window(data.path() + u'/', dialogs);
    window.setJournalFolder(data.filePath(u"journal"_s));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the main window was not shown");

    std::vector<double> reads, checksums, windows;
    readLoopSeconds(path);
    for (int round = 0; round < rounds; ++round) {
        reads.push_back(readLoopSeconds(path));
        checksums.push_back(checksumSeconds(path));
        windows.push_back(throughWindowSeconds(window, files.path(), path));
        std::printf("round %d: read() %.3f s, checksum %.3f s, through the window %.3f s\n",
                    round + 1, reads.back(), checksums.back(), windows.back());
        std::fflush(stdout);
    }
    const double read = median(reads);
    const double sum = median(checksums);
    const double shown = median(windows);
    std::printf("median: read() %.3f s, checksum %.3f s, through the window %.3f s\n", read, sum,
                shown);
    std::printf("window / checksum %.2f (at most 1.10), window / read() %.2f (below 1)\n",
                shown / sum, shown / read);
    return 0;
}
