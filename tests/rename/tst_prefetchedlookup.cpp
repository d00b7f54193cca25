// The check with its targets looked at ahead on a second thread finds exactly what the check
// alone finds, whatever the order in which the two threads reach the disk.
#include "rename/prefetchedlookup.h"

#include "imagineddisk.h"

#include <QMutex>
#include <QTest>

using namespace quillet;
using namespace quillet::test;

using NameLines = QHash<int, QString>;

class TestPrefetchedLookup : public QObject {
    Q_OBJECT

private slots:
    void findsWhatTheCheckAloneFinds_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("taken"); // items at targets before the run
        QTest::addColumn<QStringList>("gone");  // sources no longer there
        QTest::addColumn<NameLines>("lines");   // names other than n<i>
        QTest::newRow("a clean batch") << 50 << QStringList() << QStringList() << NameLines{};
        QTest::newRow("taken targets and a swap of names")
            << 200 << QStringList{u"n3.txt"_s, u"n150.txt"_s} << QStringList()
            << NameLines{{10, u"f11"_s}, {11, u"f10"_s}};
        // Entries that end their check before the target leave gaps the check must skip.
        QTest::newRow("gone sources, unchanged and bad names between duplicates")
            << 5'000 << QStringList{u"n4000.txt"_s}
            << QStringList{u"f7.txt"_s, u"f8.txt"_s, u"f2500.txt"_s}
            << NameLines{{1, u"f1"_s},       {2, u"a\u0000b"_s}, {900, u"n17"_s},
                         {3000, u"n2999"_s}, {4999, u"n0"_s},    {4500, u"nosuch/x"_s}};
    }
    void findsWhatTheCheckAloneFinds()
    {
        QFETCH(int, count);
        QFETCH(QStringList, taken);
        QFETCH(QStringList, gone);
        QFETCH(NameLines, lines);
        Disk disk;
        QStringList sourceNames;
        QStringList names;
        for (int i = 0; i < count; ++i) {
            sourceNames.append(u"f%1.txt"_s.arg(i));
            names.append(lines.value(i, u"n%1"_s.arg(i)));
        }
        for (const QString& name : taken)
            disk.add(u"/d/"_s + name);
        const Checked alone = check(sourceNames, names.join(u"\r\n"_s), disk, gone);

        QMutex guard; // the imagined disk counts its looks in a hash
        const ItemLookup shared = [&](const QString& path, LookUp how) {
            const QMutexLocker locked(&guard);
            return disk.lookUp(path, how);
        };
        disk.looks.clear();
        PrecheckFindings prefetched;
        {
            PrefetchedLookup lookUp(alone.targets, shared);
            prefetched = precheckBatch(alone.sources, alone.targets, names.join(u"\r\n"_s), kSep,
                                       lookUp.lookUp());
        }
        QCOMPARE(describe(prefetched), describe(alone.findings));
        QCOMPARE(prefetched.marked.size(), alone.findings.marked.size());
        for (qsizetype i = 0; i < prefetched.marked.size(); ++i) {
            QCOMPARE(prefetched.marked.at(i).entry, alone.findings.marked.at(i).entry);
            QCOMPARE(prefetched.marked.at(i).kinds, alone.findings.marked.at(i).kinds);
            QCOMPARE(prefetched.marked.at(i).sameAs, alone.findings.marked.at(i).sameAs);
        }
        // The check looks at each path once at most; the prefetch once more for each entry
        // naming it as a target.
        QHash<QString, int> named;
        for (const QString& target : alone.targets)
            ++named[u"I "_s + target];
        for (auto look = disk.looks.cbegin(); look != disk.looks.cend(); ++look)
            QVERIFY2(look.value() <= 1 + named.value(look.key()), qPrintable(look.key()));
    }
};

QTEST_GUILESS_MAIN(TestPrefetchedLookup)
#include "tst_prefetchedlookup.moc"
