#include "qtarguments.h"

#include <QList>
#include <QTest>

#include <deque>

using namespace quillet::app;

namespace {

// Takes options out of an argument array the way QApplication does: in place, the rest kept
// in order at the front. -style and -platform take the argument after them; -reverse stands
// alone.
void takeLikeQt(int& argc, char** argv)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if ((argument == "-style" || argument == "-platform") && i + 1 < argc) {
            ++i;
            continue;
        }
        if (argument == "-reverse")
            continue;
        argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
}

QList<QByteArray> listOf(int argc, char** argv)
{
    QList<QByteArray> list;
    for (int i = 0; i < argc; ++i)
        list.append(argv[i]);
    return list;
}

} // namespace

class TestQtArguments : public QObject {
    Q_OBJECT

private slots:
    void takeOut_data()
    {
        QTest::addColumn<QList<QByteArray>>("line");
        QTest::addColumn<QList<QByteArray>>("shownToQt");
        QTest::addColumn<QList<QByteArray>>("after");
        QTest::newRow("paths only: Qt sees just the program's name")
            << QList<QByteArray>{"quillet", "a", "b", "c"} << QList<QByteArray>{"quillet"}
            << QList<QByteArray>{"quillet", "a", "b", "c"};
        QTest::newRow("a Qt option with its value among paths")
            << QList<QByteArray>{"quillet", "a", "-style", "fusion", "b"}
            << QList<QByteArray>{"quillet", "-style", "fusion"}
            << QList<QByteArray>{"quillet", "a", "b"};
        QTest::newRow("our own option and the path after it stay")
            << QList<QByteArray>{"quillet", "--history", "a", "b"}
            << QList<QByteArray>{"quillet", "--history", "a"}
            << QList<QByteArray>{"quillet", "--history", "a", "b"};
        QTest::newRow("a path spelled like the value Qt took stays")
            << QList<QByteArray>{"quillet", "fusion", "-style", "fusion"}
            << QList<QByteArray>{"quillet", "-style", "fusion"}
            << QList<QByteArray>{"quillet", "fusion"};
        QTest::newRow("a Qt option last on the line")
            << QList<QByteArray>{"quillet", "a", "-reverse"}
            << QList<QByteArray>{"quillet", "-reverse"} << QList<QByteArray>{"quillet", "a"};
        QTest::newRow("a value that starts with a dash")
            << QList<QByteArray>{"quillet", "-platform", "-x", "b", "c"}
            << QList<QByteArray>{"quillet", "-platform", "-x", "b"}
            << QList<QByteArray>{"quillet", "b", "c"};
        QTest::newRow("options after -- still go to Qt, as without the view")
            << QList<QByteArray>{"quillet", "--", "-reverse", "a"}
            << QList<QByteArray>{"quillet", "--", "-reverse", "a"}
            << QList<QByteArray>{"quillet", "--", "a"};
    }
    void takeOut()
    {
        QFETCH(QList<QByteArray>, line);
        QFETCH(QList<QByteArray>, shownToQt);
        QFETCH(QList<QByteArray>, after);
        // Each argument its own storage, as on a real command line.
        std::deque<QByteArray> storage(line.cbegin(), line.cend());
        std::vector<char*> argv;
        for (QByteArray& argument : storage)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int argc = int(line.size());

        QtArguments qt(argc, argv.data());
        QCOMPARE(listOf(qt.argc(), qt.argv()), shownToQt);
        QCOMPARE(qt.argv()[qt.argc()], nullptr);
        takeLikeQt(qt.argc(), qt.argv());
        QCOMPARE(qt.applyTo(argc, argv.data()), after != line);
        QCOMPARE(listOf(argc, argv.data()), after);
        QCOMPARE(argv[size_t(argc)], nullptr);
        // The first "fusion" of the line is the one that stays, not the one Qt took.
        if (after.contains("fusion"))
            QCOMPARE(argv[1], storage[1].data());
    }
};

QTEST_GUILESS_MAIN(TestQtArguments)
#include "tst_qtarguments.moc"
