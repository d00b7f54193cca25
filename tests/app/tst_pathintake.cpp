#include "batch/nativepath.h"
#include "pathintake.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <set>

using namespace quillet::app;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(quillet::app::HandOver)

namespace {

// Items exist unless their name holds "gone"; every call can be made to take a while, as an
// lstat over a slow folder does.
struct FakeDisk {
    int microsecondsPerCall = 0;
    int calls = 0;
    bool operator()(const QString& path)
    {
        ++calls;
        if (microsecondsPerCall > 0)
            QThread::usleep(ulong(microsecondsPerCall));
        return !path.contains(u"gone"_s);
    }
};

QStringList numbered(const QString& stem, int count)
{
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths.append(u"/d/%1%2"_s.arg(stem).arg(i));
    return paths;
}

} // namespace

class TestPathIntake : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<HandOver>(); }

    // What comes out of one request: the items that exist, cleaned, in their order; the ones
    // that do not are told only when asked to.
    void checksOneRequest_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<bool>("reportMissing");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("missing");
        QTest::newRow("nothing at all") << QStringList{} << true << QStringList{} << QStringList{};
        QTest::newRow("all there, order kept")
            << QStringList{u"/d/b"_s, u"/d/a"_s, u"/d/c"_s} << true
            << QStringList{u"/d/b"_s, u"/d/a"_s, u"/d/c"_s} << QStringList{};
        QTest::newRow("missing ones told from a command line")
            << QStringList{u"/d/gone1"_s, u"/d/a"_s, u"/d/gone2"_s} << true
            << QStringList{u"/d/a"_s} << QStringList{u"/d/gone1"_s, u"/d/gone2"_s};
        QTest::newRow("missing ones silent from a hand-over")
            << QStringList{u"/d/gone1"_s, u"/d/a"_s} << false << QStringList{u"/d/a"_s}
            << QStringList{};
        QTest::newRow("a hand-over's paths cleaned like a drop")
            << QStringList{u"/d//a/"_s, u"/d/./b"_s, u"/d/x/../c"_s} << false
            << QStringList{u"/d/a"_s, u"/d/b"_s, u"/d/c"_s} << QStringList{};
    }
    void checksOneRequest()
    {
        QFETCH(QStringList, paths);
        QFETCH(bool, reportMissing);
        QFETCH(QStringList, existing);
        QFETCH(QStringList, missing);
        PathIntake intake(FakeDisk{});
        QSignalSpy checked(&intake, &PathIntake::checked);
        QStringList told;
        connect(&intake, &PathIntake::missing, this, [&told](const QString& p) { told << p; });
        intake.enqueue({false, paths, "startup-id", {}}, reportMissing);
        QVERIFY(intake.isBusy());
        QTRY_COMPARE(checked.count(), 1);
        const auto request = checked.first().first().value<HandOver>();
        QCOMPARE(request.paths, existing);
        QCOMPARE(request.startupId, QByteArray("startup-id"));
        QCOMPARE(told, missing);
        QVERIFY(!intake.isBusy());
    }

    // A start's own arguments become paths in the pieces too: relative ones count from the
    // working folder, and a missing one is told by the path it stands for.
    void startArgumentsBecomePaths_data()
    {
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("missing");
        QTest::newRow("relative and absolute")
            << QList<QByteArray>{"a.mkv", "/x/b.mkv", "sub/../c"}
            << QStringList{u"/home/u/a.mkv"_s, u"/x/b.mkv"_s, u"/home/u/c"_s} << QStringList{};
        QTest::newRow("a missing one told as its path")
            << QList<QByteArray>{"gone.mkv", "a.mkv"} << QStringList{u"/home/u/a.mkv"_s}
            << QStringList{u"/home/u/gone.mkv"_s};
        QTest::newRow("a name that is not UTF-8 keeps its bytes")
            << QList<QByteArray>{"\x83\x65.txt"}
            << QStringList{quillet::batch::pathFromNativeBytes("/home/u/\x83\x65.txt")}
            << QStringList{};
    }
    void startArgumentsBecomePaths()
    {
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(QStringList, existing);
        QFETCH(QStringList, missing);
        PathIntake intake(FakeDisk{});
        QSignalSpy checked(&intake, &PathIntake::checked);
        QStringList told;
        connect(&intake, &PathIntake::missing, this, [&told](const QString& p) { told << p; });
        QList<const char*> argv;
        for (const QByteArray& argument : arguments)
            argv.append(argument.constData());
        intake.enqueueArguments(HandOver{true, {}, {}, {}, false}, argv, "/home/u");
        QTRY_COMPARE(checked.count(), 1);
        const auto request = checked.first().first().value<HandOver>();
        QCOMPARE(request.paths, existing);
        QVERIFY(request.undoLastRun);
        QCOMPARE(told, missing);
    }

    // Started with 100,000 paths, the window appeared only after every one had been checked:
    // the checking now lets the event loop run every few milliseconds. Counted in checks rather
    // than milliseconds, so that a machine too busy to run the probe on time cannot fail it:
    // each check takes at least its 20 µs, so a piece of kPieceMs holds at most about 500 of them.
    void windowAnswersWhileLargeBatchIsChecked()
    {
        FakeDisk disk;
        disk.microsecondsPerCall = 20;
        PathIntake intake(std::ref(disk));
        QSignalSpy checked(&intake, &PathIntake::checked);
        int mostChecksBetweenEvents = 0;
        int eventsBetweenChecks = 0;
        int checksAtLastEvent = 0;
        QTimer probe;
        probe.setInterval(1);
        connect(&probe, &QTimer::timeout, this, [&] {
            if (disk.calls == checksAtLastEvent)
                return;
            ++eventsBetweenChecks;
            mostChecksBetweenEvents =
                std::max(mostChecksBetweenEvents, disk.calls - checksAtLastEvent);
            checksAtLastEvent = disk.calls;
        });
        probe.start();
        intake.enqueue({false, numbered(u"f"_s, 20'000), {}, {}}, true);
        QTRY_COMPARE_WITH_TIMEOUT(checked.count(), 1, 60'000);
        probe.stop();
        QCOMPARE(checked.first().first().value<HandOver>().paths.size(), 20'000);
        QCOMPARE(disk.calls, 20'000);
        const int checksPerPiece = PathIntake::kPieceMs * 1000 / disk.microsecondsPerCall;
        QVERIFY2(mostChecksBetweenEvents <= 2 * checksPerPiece,
                 qPrintable(u"%1 checks without an event"_s.arg(mostChecksBetweenEvents)));
        QVERIFY2(eventsBetweenChecks >= 20'000 / (2 * checksPerPiece),
                 qPrintable(u"events came between checks %1 times"_s.arg(eventsBetweenChecks)));
    }

    // A small hand-over that arrives while a large start-up batch is still being checked
    // comes out after it, and an undo request keeps its place among them.
    void requestsKeepTheirOrder()
    {
        FakeDisk disk;
        disk.microsecondsPerCall = 10;
        PathIntake intake(std::ref(disk));
        QSignalSpy checked(&intake, &PathIntake::checked);
        intake.enqueue({false, numbered(u"big"_s, 5'000), {}, {}}, true);
        QTimer::singleShot(0, &intake, [&intake] {
            intake.enqueue({false, {u"/d/small"_s}, {}, {}}, false);
            intake.enqueue({true, {}, {}, {}}, false);
        });
        QTRY_COMPARE_WITH_TIMEOUT(checked.count(), 3, 20'000);
        QCOMPARE(checked.at(0).first().value<HandOver>().paths.size(), 5'000);
        QCOMPARE(checked.at(1).first().value<HandOver>().paths, QStringList{u"/d/small"_s});
        QVERIFY(!checked.at(1).first().value<HandOver>().undoLastRun);
        QVERIFY(checked.at(2).first().value<HandOver>().undoLastRun);
    }

    // Closing the window while a start's 100,000 paths were checked left Quillet running: the
    // take-in at the end showed the window again. What is cleared is never given out.
    void clearedRequestsNeverComeOut()
    {
        FakeDisk disk;
        disk.microsecondsPerCall = 10;
        PathIntake intake(std::ref(disk));
        QSignalSpy checked(&intake, &PathIntake::checked);
        intake.enqueue({false, numbered(u"big"_s, 5'000), {}, {}}, true);
        intake.enqueue({true, {}, {}, {}}, false);
        QTimer::singleShot(0, &intake, [&intake] { intake.clear(); });
        QTest::qWait(600);
        QCOMPARE(checked.count(), 0);
        QVERIFY(!intake.isBusy());
        QVERIFY(disk.calls < 5'000);
        // It still takes what comes after.
        intake.enqueue({false, {u"/d/late"_s}, {}, {}}, false);
        QTRY_COMPARE(checked.count(), 1);
    }

    // A request queued from the slot that takes in the one before is checked too.
    void requestQueuedWhileTakingInIsChecked()
    {
        PathIntake intake(FakeDisk{});
        QSignalSpy checked(&intake, &PathIntake::checked);
        bool queued = false;
        connect(&intake, &PathIntake::checked, this, [&](const HandOver&) {
            if (!std::exchange(queued, true))
                intake.enqueue({false, {u"/d/second"_s}, {}, {}}, false);
        });
        intake.enqueue({false, {u"/d/first"_s}, {}, {}}, false);
        QTRY_COMPARE(checked.count(), 2);
        QCOMPARE(checked.at(1).first().value<HandOver>().paths, QStringList{u"/d/second"_s});
    }
};

QTEST_GUILESS_MAIN(TestPathIntake)
#include "tst_pathintake.moc"
