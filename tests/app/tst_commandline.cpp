#include "batch/nativepath.h"
#include "commandline.h"

#include <QTest>

#include <vector>

using namespace quillet::app;
using namespace Qt::Literals::StringLiterals;
using Action = CommandLine::Action;

Q_DECLARE_METATYPE(Action)

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QList<QByteArray>>("paths");
        QTest::newRow("nothing") << QList<QByteArray>{} << Action::OpenWindow
                                 << QList<QByteArray>{};
        QTest::newRow("files, relative and absolute")
            << QList<QByteArray>{"a.mkv", "/d/b.mkv", "sub/../c.mkv"} << Action::OpenWindow
            << QList<QByteArray>{"/home/u/a.mkv", "/d/b.mkv", "/home/u/c.mkv"};
        QTest::newRow("shift-jis bytes stay")
            << QList<QByteArray>{"\x93\xAE\x89\xE6.mp4"} << Action::OpenWindow
            << QList<QByteArray>{"/home/u/\x93\xAE\x89\xE6.mp4"};
        QTest::newRow("help wins") << QList<QByteArray>{"a", "--version", "--help"}
                                   << Action::ShowHelp << QList<QByteArray>{"/home/u/a"};
        QTest::newRow("short version")
            << QList<QByteArray>{"-v"} << Action::ShowVersion << QList<QByteArray>{};
        QTest::newRow("undo") << QList<QByteArray>{"--undo-last"} << Action::UndoLastRun
                              << QList<QByteArray>{};
        QTest::newRow("the list of recent runs, with files")
            << QList<QByteArray>{"--history", "a"} << Action::ShowHistory
            << QList<QByteArray>{"/home/u/a"};
        QTest::newRow("undo wins over the list") << QList<QByteArray>{"--history", "--undo-last"}
                                                 << Action::UndoLastRun << QList<QByteArray>{};
        QTest::newRow("help is answered whatever else stands")
            << QList<QByteArray>{"-style", "--help"} << Action::ShowHelp << QList<QByteArray>{};
        QTest::newRow("unknown option")
            << QList<QByteArray>{"--frobnicate"} << Action::Invalid << QList<QByteArray>{};
        QTest::newRow("checksums in names, files and folders")
            << QList<QByteArray>{"--verify", "a.mkv", "/d"} << Action::VerifyNames
            << QList<QByteArray>{"/home/u/a.mkv", "/d"};
        QTest::newRow("checksums without a file")
            << QList<QByteArray>{"--verify"} << Action::Invalid << QList<QByteArray>{};
        QTest::newRow("checksums and the list of runs")
            << QList<QByteArray>{"--verify", "--history", "a"} << Action::Invalid
            << QList<QByteArray>{"/home/u/a"};
        // Qt's own options are no problem, and their values no paths.
        QTest::newRow("Qt's options with their values")
            << QList<QByteArray>{"-platform", "offscreen", "--style=fusion", "-reverse", "a"}
            << Action::OpenWindow << QList<QByteArray>{"/home/u/a"};
        QTest::newRow("a file named like an option after --")
            << QList<QByteArray>{"--", "--help"} << Action::OpenWindow
            << QList<QByteArray>{"/home/u/--help"};
        QTest::newRow("a lone dash is a file")
            << QList<QByteArray>{"-"} << Action::OpenWindow << QList<QByteArray>{"/home/u/-"};
        QTest::newRow("trailing slash of a folder")
            << QList<QByteArray>{"photos/"} << Action::OpenWindow
            << QList<QByteArray>{"/home/u/photos"};
    }
    void parse()
    {
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(Action, action);
        QFETCH(QList<QByteArray>, paths);
        // As main()'s argv holds them.
        std::vector<const char*> argv;
        for (const QByteArray& argument : arguments)
            argv.push_back(argument.constData());
        const CommandLine line = parseCommandLine(int(argv.size()), argv.data(), "/home/u");
        QCOMPARE(line.action, action);
        QCOMPARE(line.problem.isEmpty(), action != Action::Invalid);
        if (action == Action::Invalid)
            return;
        QList<QByteArray> bytes;
        for (const char* argument : line.pathArguments) {
            const QString path = pathOfArgument(argument, line.workingFolder);
            bytes.append(quillet::batch::nativeBytesFromPath(path));
        }
        QCOMPARE(bytes, paths);
    }

    void platformOptionIsKept()
    {
        const char* argv[] = {"-platform", "offscreen", "a"};
        QCOMPARE(parseCommandLine(3, argv, "/home/u").qtPlatform, QByteArray("offscreen"));
    }

    // Without a display QApplication aborts; the program must know before it starts one.
    void displayReachable_data()
    {
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<bool>("reachable");
        QTest::newRow("nothing set") << QByteArray() << QByteArray() << QByteArray() << false;
        QTest::newRow("X11 display") << QByteArray() << QByteArray(":0") << QByteArray() << true;
        QTest::newRow("Wayland display")
            << QByteArray() << QByteArray() << QByteArray("wayland-0") << true;
        QTest::newRow("xcb asked, only Wayland there")
            << QByteArray("xcb") << QByteArray() << QByteArray("wayland-0") << false;
        QTest::newRow("wayland asked, only X11 there")
            << QByteArray("wayland") << QByteArray(":0") << QByteArray() << false;
        QTest::newRow("list falls back to xcb")
            << QByteArray("wayland;xcb") << QByteArray(":0") << QByteArray() << true;
        QTest::newRow("xcb with options")
            << QByteArray("xcb:nograb") << QByteArray(":1") << QByteArray() << true;
        QTest::newRow("offscreen needs nothing")
            << QByteArray("offscreen") << QByteArray() << QByteArray() << true;
    }
    void displayReachable()
    {
        QFETCH(QByteArray, platform);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, wayland);
        QFETCH(bool, reachable);
        QCOMPARE(quillet::app::displayReachable(platform, display, wayland), reachable);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
