#include "instancechannel.h"
#include "testfiles.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace quillet::app;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(quillet::app::HandOver)

// The real program started as from a terminal over ssh or a script: no display at all.
class TestHandOver : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<HandOver>(); }

    // Without DISPLAY, `quillet FILE` aborted with Qt's English "could not connect to display"
    // instead of handing the file to the open window.
    void withoutDisplay_data()
    {
        QTest::addColumn<bool>("windowOpen");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("files go to the open window") << true << QStringList{u"a.txt"_s, u"b.txt"_s};
        QTest::newRow("missing files told here, the rest go to the open window")
            << true << QStringList{u"a.txt"_s, u"gone.txt"_s, u"b.txt"_s};
        QTest::newRow("undo goes to the open window") << true << QStringList{u"--undo-last"_s};
        QTest::newRow("no window open: a message, no abort") << false << QStringList{u"a.txt"_s};
        QTest::newRow("no window open, undo: a message, no abort")
            << false << QStringList{u"--undo-last"_s};
    }
    void withoutDisplay()
    {
        QFETCH(bool, windowOpen);
        QFETCH(QStringList, arguments);
        QTemporaryDir dir; // 0700: a private runtime folder
        const QString runtime = dir.filePath(u"runtime"_s);
        QVERIFY(QDir(dir.path()).mkdir(u"runtime"_s));
        QVERIFY(
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        quillet::test::writeFile(dir.filePath(u"a.txt"_s), "A");
        quillet::test::writeFile(dir.filePath(u"b.txt"_s), "B");

        InstanceChannel window(runtime + u"/quillet.socket"_s);
        if (windowOpen)
            QVERIFY(window.listen());
        QSignalSpy spy(&window, &InstanceChannel::handedOver);

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
            environment.remove(name);
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        environment.insert(u"XDG_CACHE_HOME"_s, dir.filePath(u"cache"_s));
        environment.insert(u"HOME"_s, dir.path());
        environment.insert(u"DESKTOP_STARTUP_ID"_s, u"launcher-1-host-quillet-0_TIME1234"_s);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(dir.path());
        program.start(QStringLiteral(QUILLET_PROGRAM), arguments);
        QVERIFY(program.waitForStarted());
        // The window side answers from this event loop while the program waits for it.
        QTRY_COMPARE_WITH_TIMEOUT(program.state(), QProcess::NotRunning, 20000);
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        if (windowOpen) {
            QCOMPARE(program.exitCode(), 0);
            QCOMPARE(spy.size(), 1);
            const auto handOver = spy.first().first().value<HandOver>();
            const bool undo = arguments.contains(u"--undo-last"_s);
            QCOMPARE(handOver.undoLastRun, undo);
            if (!undo) {
                QCOMPARE(handOver.paths,
                         (QStringList{dir.filePath(u"a.txt"_s), dir.filePath(u"b.txt"_s)}));
            }
            QCOMPARE(handOver.startupId, QByteArray("launcher-1-host-quillet-0_TIME1234"));
            // The start that hands over is the one with the terminal: it says what is missing.
            const bool gone = arguments.contains(u"gone.txt"_s);
            QCOMPARE(errors.contains(u"見つかりません: "_s + dir.filePath(u"gone.txt"_s)), gone);
        } else {
            QVERIFY(program.exitCode() != 0);
            QVERIFY2(errors.contains(u"画面に接続できない"_s), qPrintable(errors));
            QVERIFY2(!errors.contains(u"could not connect"_s), qPrintable(errors));
        }
    }

    // Qt is shown only the options of a line, not its paths: what it takes out must still be
    // taken out of the whole line, wherever it stands among the paths.
    void qtOptionsTakenOut_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("Qt's option first")
            << QStringList{u"-platform"_s, u"offscreen"_s, u"--frobnicate"_s};
        QTest::newRow("Qt's option between paths") << QStringList{
            u"a.txt"_s, u"-platform"_s, u"offscreen"_s, u"b.txt"_s, u"--frobnicate"_s, u"a.txt"_s};
    }
    void qtOptionsTakenOut()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Without -platform reaching Qt, it would find no display and abort.
        for (const QString& name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
            environment.remove(name);
        environment.insert(u"XDG_RUNTIME_DIR"_s, dir.path());
        environment.insert(u"HOME"_s, dir.path());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(dir.path());
        program.start(QStringLiteral(QUILLET_PROGRAM), arguments);
        QVERIFY(program.waitForFinished(20000));
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 2);
        QVERIFY2(errors.startsWith(u"不明なオプションです: --frobnicate\n"_s), qPrintable(errors));
        QVERIFY2(!errors.contains(u"-platform"_s), qPrintable(errors));
    }
};

QTEST_GUILESS_MAIN(TestHandOver)
#include "tst_handover.moc"
