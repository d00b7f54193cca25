// 確認 opened on a large batch: from the press of "リネーム開始" until the listing is shown and
// the check has told its findings, against a bare loop of lstat over every source and target
// plus a bare text box showing the first screen of the listing, in one run. Meanwhile a timer
// asks the window's event loop every 10 ms; the longest gap between its answers is how long
// the window did not answer. Files are real, in a temporary folder. Run:
// build/default/bench/bench_confirmation [entries ...]   (default 100000 1000000)
#include "batch/nativepath.h"
#include "rename/precheck.h"
#include "rename/targets.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/listingview.h"
#include "ui/userdialogs.h"

#include "silentdialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

// CPU time of the calling thread: what the window's thread spent while it waited.
double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

struct Timing {
    double seconds = 0;
    double longestGapMs = 0; // between two answers of the event loop
};

// Runs the event loop until `done` holds, a timer asking every 10 ms.
Timing waitAnswering(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    Timing timing;
    QEventLoop loop;
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        timing.longestGapMs = qMax(timing.longestGapMs, (now - last) / 1e6);
        last = now;
        if (done())
            loop.quit();
    });
    probe.start();
    loop.exec();
    return timing;
}

void touch(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0)
        qFatal("cannot create %s", path.constData());
    ::close(fd);
}

ui::Form2* confirmWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* form2 = qobject_cast<ui::Form2*>(widget); form2 && form2->isVisible())
            return form2;
    }
    return nullptr;
}

void measure(int entries, QPlainTextEdit& bareView)
{
    QTemporaryDir dir;
    QStringList sources;
    QStringList lines;
    std::vector<QByteArray> paths;
    for (int i = 0; i < entries; ++i) {
        sources.append(dir.path() + u"/f%1.mkv"_s.arg(i));
        lines.append(u"n%1"_s.arg(i));
        paths.push_back(batch::nativeBytesFromPath(sources.last()));
        touch(paths.back());
    }
    const QString names = lines.join(u"\r\n"_s);
    for (const QString& target : rename::BuildTargetList(sources, names, u'/'))
        paths.push_back(batch::nativeBytesFromPath(target));

    // The bare side: every path looked at once, and the first screen of the listing shown.
    QElapsedTimer clock;
    clock.start();
    int found = 0;
    struct stat st;
    for (const QByteArray& path : paths)
        found += ::lstat(path.constData(), &st) == 0;
    const double lstatSeconds = clock.nsecsElapsed() / 1e9;
    clock.restart();
    const QStringList targets = rename::BuildTargetList(sources, names, u'/');
    const rename::PrecheckFindings findings =
        rename::precheckBatch(sources, targets, names, u'/', rename::lookUpItem);
    std::printf("check alone %.3f s\n", clock.nsecsElapsed() / 1e9);
    clock.restart();
    const QStringList firstScreen = sources.mid(0, 20);
    bareView.setPlainText(rename::FormatConfirmationListing(
        firstScreen, rename::BuildTargetList(firstScreen, names, u'/'), u'/'));
    bareView.show();
    bareView.viewport()->repaint();
    const double bareViewSeconds = clock.nsecsElapsed() / 1e9;
    bareView.hide();
    if (found != entries)
        qFatal("lstat found %d of %d", found, entries);

    // Quillet: the batch taken in, then "リネーム開始" pressed.
    bench::SilentDialogs dialogs;
    QTemporaryDir data;
    ui::Form1 form(data.path() + u'/', dialogs);
    form.show();
    clock.restart();
    form.takeInFiles(sources);
    waitAnswering([&] { return form.batch().count() == entries; });
    const double intakeSeconds = clock.nsecsElapsed() / 1e9;
    auto* editor = form.findChild<QPlainTextEdit*>(u"Text1"_s);
    editor->selectAll();
    editor->insertPlainText(names);
    auto* button = form.findChild<QPushButton*>(u"Command1"_s);
    // What the editor does after a paste of a million lines is done before the press.
    QElapsedTimer settling;
    settling.start();
    waitAnswering([&] { return settling.hasExpired(3000); });

    clock.restart();
    const double windowCpuBefore = threadSeconds();
    QTest::mouseClick(button, Qt::LeftButton);
    ui::Form2* shown = nullptr;
    Timing opened = waitAnswering([&] {
        shown = confirmWindow();
        return shown && !form.isListing();
    });
    auto* listing = shown->findChild<ui::ListingView*>(u"Text1"_s);
    listing->viewport()->repaint();
    opened.seconds = clock.nsecsElapsed() / 1e9;
    const double windowCpu = threadSeconds() - windowCpuBefore;
    if (listing->lineCount() != 4 * qsizetype(entries) + 1)
        qFatal("the listing has %lld lines", qlonglong(listing->lineCount()));
    shown->close();

    const double bare = lstatSeconds + bareViewSeconds;
    std::printf("%9d entries: 確認 opened %.3f s (window thread busy %.3f s), window answered "
                "within %.0f ms; bare lstat "
                "%.3f s + bare first screen %.3f s = %.3f s; ratio %.2f× (intake before: %.1f "
                "s)\n",
                entries, opened.seconds, windowCpu, opened.longestGapMs, lstatSeconds,
                bareViewSeconds, bare, opened.seconds / bare, intakeSeconds);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(QByteArray(argv[i]).toInt());
    if (sizes.isEmpty())
        sizes = {100'000, 1'000'000};
    QPlainTextEdit bareView;
    bareView.setReadOnly(true);
    bareView.resize(907, 553);
    for (const int entries : sizes)
        measure(entries, bareView);
    return 0;
}
