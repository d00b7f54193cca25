// The pre-check of a batch on an imagined disk (imagineddisk.h), and its findings in words.
#include "batch/nativepath.h"
#include "imagineddisk.h"

#include <QTest>

using namespace quillet::rename;
using namespace quillet::test;
using namespace Qt::Literals::StringLiterals;

class TestPrecheck : public QObject {
    Q_OBJECT

private slots:
    void findings_data()
    {
        QTest::addColumn<QStringList>("sources"); // file names in /d, all on the disk
        QTest::addColumn<QString>("names");
        QTest::addColumn<QStringList>("others"); // further items on the disk, in /d
        QTest::addColumn<bool>("ignoresCase");
        QTest::addColumn<QString>("expected");

        const QStringList ab{u"a.txt"_s, u"b.txt"_s};
        const QStringList abc{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s};
        const QString x243 = QString(243, u'x');
        const QString x244 = QString(244, u'x');
        QTest::newRow("clean batch") << ab << u"x\r\ny"_s << QStringList() << false << QString();
        QTest::newRow("unchanged entry is no problem")
            << ab << u"a\r\ny"_s << QStringList() << false << u"unchanged 0"_s;
        QTest::newRow("empty line") << ab << u"\r\ny"_s << QStringList() << false << u"empty 0"_s;
        QTest::newRow("fewer lines than files")
            << abc << u"x\r\ny"_s << QStringList() << false << u"mismatch 2/3; noline 2"_s;
        QTest::newRow("more lines than files")
            << ab << u"x\r\ny\r\nz"_s << QStringList() << false << u"mismatch 3/2"_s;
        QTest::newRow("line breaks after the last name shift nothing")
            << ab << u"x\r\ny\r\n\r\n"_s << QStringList() << false << QString();
        // The editor shows the emptied last line: it pairs with its file and shifts nothing.
        QTest::newRow("emptied last line is an empty name, not a missing line")
            << abc << u"x\r\ny\r\n"_s << QStringList() << false << u"empty 2"_s;
        QTest::newRow("a line break inside the names")
            << ab << u"x\r\n\r\ny"_s << QStringList() << false << u"mismatch 3/2; empty 1"_s;
        QTest::newRow("same target three times")
            << abc << u"x\r\nx\r\nx"_s << QStringList() << false << u"duplicate 1,2"_s;
        QTest::newRow("target taken by another item")
            << ab << u"taken\r\ny"_s << QStringList{u"taken.txt"_s} << false << u"existing 0"_s;
        // The run moves the holder of a target away first: a swap, a rotation, a shift.
        QTest::newRow("a swap is no collision")
            << ab << u"b\r\na"_s << QStringList() << false << u"swap 0,1"_s;
        QTest::newRow("a chain in batch order")
            << QStringList{u"b.txt"_s, u"a.txt"_s} << u"c\r\nb"_s << QStringList() << false
            << u"swap 1"_s;
        QTest::newRow("a chain in the other order")
            << ab << u"b\r\nc"_s << QStringList() << false << u"swap 0"_s;
        QTest::newRow("a shift by one up")
            << QStringList{u"ep1.mkv"_s, u"ep2.mkv"_s, u"ep3.mkv"_s} << u"ep2\r\nep3\r\nep4"_s
            << QStringList() << false << u"swap 0,1"_s;
        QTest::newRow("a shift by one down")
            << QStringList{u"ep2.mkv"_s, u"ep3.mkv"_s, u"ep4.mkv"_s} << u"ep1\r\nep2\r\nep3"_s
            << QStringList() << false << u"swap 1,2"_s;
        QTest::newRow("two cycles in one batch")
            << QStringList{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s} << u"b\r\na\r\nd\r\nc"_s
            << QStringList() << false << u"swap 0,1,2,3"_s;
        // Only the end of the chain meets the item that stays; the rest wait for it.
        QTest::newRow("a chain ending at an item outside the batch")
            << ab << u"b\r\nc"_s << QStringList{u"c.txt"_s} << false << u"existing 1; swap 0"_s;
        QTest::newRow("a freed path claimed twice")
            << abc << u"z\r\na\r\na"_s << QStringList() << false << u"duplicate 2; swap 1"_s;
        QTest::newRow("a skipped entry keeps its source taken")
            << ab << u"\r\na"_s << QStringList() << false << u"empty 0; existing 1"_s;
        QTest::newRow("an unchanged entry keeps its path taken")
            << ab << u"a\r\na"_s << QStringList() << false << u"unchanged 0; existing 1"_s;
        QTest::newRow("a rotation of three")
            << abc << u"b\r\nc\r\na"_s << QStringList() << false << u"swap 0,1,2"_s;
        // What a disk refuses, and what none takes.
        QTest::newRow("a tab is refused on every disk")
            << ab << u"x\ty\r\nz"_s << QStringList() << false << u"invalid 0"_s;
        QTest::newRow("a delete character is refused on every disk")
            << ab << u"x\u007Fy\r\nz"_s << QStringList() << false << u"invalid 0"_s;
        QTest::newRow("a name of spaces only is empty")
            << ab << u"   \r\nz"_s << QStringList() << false << u"empty 0"_s;
        QTest::newRow("a line ending in the separator is empty")
            << ab << u"s/\r\nz"_s << QStringList{u"s/"_s} << false << u"empty 0"_s;
        QTest::newRow("surrounding spaces are only a hint")
            << ab << u" x\r\nz\u3000"_s << QStringList() << false << u"spaces 0,1"_s;
        QTest::newRow("ext4 takes a colon and a trailing dot")
            << QStringList{u"a.txt"_s, u"trail"_s} << u"notes: draft\r\ntrail."_s << QStringList()
            << false << QString();
        QTest::newRow("fat refuses a colon") << QStringList{u"fat/a.txt"_s} << u"notes: draft"_s
                                             << QStringList{u"fat/"_s} << false << u"invalid 0"_s;
        QTest::newRow("fat refuses the characters Windows keeps out")
            << QStringList{u"fat/a.txt"_s, u"fat/b.txt"_s, u"fat/c.txt"_s}
            << u"a*b\r\nwhy?\r\n<x>"_s << QStringList{u"fat/"_s} << false << u"invalid 0,1,2"_s;
        QTest::newRow("fat refuses a trailing dot")
            << QStringList{u"fat/trail"_s} << u"trail."_s << QStringList{u"fat/"_s} << false
            << u"invalid 0"_s;
        QTest::newRow("fat refuses a trailing space")
            << QStringList{u"fat/trail"_s} << u"trail "_s << QStringList{u"fat/"_s} << false
            << u"invalid 0"_s;
        QTest::newRow("fat counts UTF-16 units, not bytes")
            << QStringList{u"fat/a.txt"_s} << QString(100, u'あ') << QStringList{u"fat/"_s} << false
            << QString();
        QTest::newRow("fat takes 255 units") << QStringList{u"fat/a.txt"_s} << QString(251, u'x')
                                             << QStringList{u"fat/"_s} << false << QString();
        QTest::newRow("fat refuses 256 units") << QStringList{u"fat/a.txt"_s} << QString(252, u'x')
                                               << QStringList{u"fat/"_s} << false << u"toolong 0"_s;
        QTest::newRow("fat: a change of letter case is no collision")
            << QStringList{u"fat/episode01.mkv"_s} << u"Episode01"_s << QStringList{u"fat/"_s}
            << false << QString();
        QTest::newRow("fat: two lines differing in case are one name")
            << QStringList{u"fat/a.txt"_s, u"fat/b.txt"_s} << u"X\r\nx"_s << QStringList{u"fat/"_s}
            << false << u"duplicate 1"_s;
        QTest::newRow("fat: a swap spelled in other case is a swap")
            << QStringList{u"fat/a.txt"_s, u"fat/b.txt"_s} << u"B\r\nA"_s << QStringList{u"fat/"_s}
            << false << u"swap 0,1"_s;
        // A folder and the items inside it: the items go first, whatever the order.
        QTest::newRow("a folder before its own item")
            << QStringList{u"Season 1"_s, u"Season 1/ep01.mkv"_s} << u"S1\r\ne01"_s
            << QStringList{u"Season 1/"_s} << false << QString();
        QTest::newRow("a folder after its own item")
            << QStringList{u"Season 1/ep01.mkv"_s, u"Season 1"_s} << u"e01\r\nS1"_s
            << QStringList{u"Season 1/"_s} << false << QString();
        QTest::newRow("a file into the new name of a folder")
            << QStringList{u"x.txt"_s, u"Old"_s} << u"New/x\r\nNew"_s << QStringList{u"Old/"_s}
            << false << QString();
        QTest::newRow("a file into a missing folder")
            << QStringList{u"x.txt"_s} << u"New/x"_s << QStringList() << false << u"nofolder 0"_s;
        QTest::newRow("dot dot as a name")
            << QStringList{u"notes"_s} << u".."_s << QStringList() << false << u"invalid 0"_s;
        QTest::newRow("nul character")
            << ab << u"x\u0000y\r\nz"_s << QStringList() << false << u"invalid 0"_s;
        QTest::newRow("lone high surrogate") << ab << (u"x"_s + QChar(0xD800) + u"\r\nz"_s)
                                             << QStringList() << false << u"invalid 0"_s;
        QTest::newRow("255 bytes fit")
            << ab << QString(251, u'x') + u"\r\ny"_s << QStringList() << false << QString();
        QTest::newRow("256 bytes are too long")
            << ab << QString(252, u'x') + u"\r\ny"_s << QStringList() << false << u"toolong 0"_s;
        QTest::newRow("three-byte characters count as bytes")
            << ab << QString(84, u'あ') + u"\r\ny"_s << QStringList() << false << u"toolong 0"_s;
        QTest::newRow("crc32 token fits as 8 digits")
            << ab << x243 + u"*/CRC32/*\r\ny"_s << QStringList() << false << QString();
        QTest::newRow("crc32 token too long as 8 digits")
            << ab << x244 + u"*/CRC32/*\r\ny"_s << QStringList() << false << u"toolong 0"_s;
        QTest::newRow("crc16 token fits as 4 digits")
            << ab << QString(247, u'x') + u"*/CRC16/*\r\ny"_s << QStringList() << false
            << QString();
        QTest::newRow("crc16 token too long as 4 digits")
            << ab << QString(248, u'x') + u"*/CRC16/*\r\ny"_s << QStringList() << false
            << u"toolong 0"_s;
        QTest::newRow("both tokens fit when filled in")
            << ab << QString(239, u'x') + u"*/CRC16/**/CRC32/*\r\ny"_s << QStringList() << false
            << QString();
        QTest::newRow("both tokens too long when filled in")
            << ab << QString(240, u'x') + u"*/CRC16/**/CRC32/*\r\ny"_s << QStringList() << false
            << u"toolong 0"_s;
        QTest::newRow("same name with a checksum is not yet a duplicate")
            << ab << u"x */CRC32/*\r\nx */CRC32/*"_s << QStringList() << false << QString();
        QTest::newRow("name in a subfolder is checked after its separator")
            << ab << u"sub/"_s + QString(251, u'x') + u"\r\ny"_s << QStringList{u"sub/"_s} << false
            << QString();
        QTest::newRow("ignoring case: a new spelling of the same item")
            << QStringList{u"A.txt"_s} << u"a"_s << QStringList() << true << QString();
        QTest::newRow("ignoring case: targets differing in case are duplicates")
            << ab << u"X\r\nx"_s << QStringList() << true << u"duplicate 1"_s;
        QTest::newRow("ignoring case: an item spelled otherwise is taken")
            << ab << u"taken\r\ny"_s << QStringList{u"TAKEN.txt"_s} << true << u"existing 0"_s;
        QTest::newRow("exact case: targets differing in case are two names")
            << ab << u"X\r\nx"_s << QStringList() << false << QString();
    }
    void findings()
    {
        QFETCH(QStringList, sources);
        QFETCH(QString, names);
        QFETCH(QStringList, others);
        QFETCH(bool, ignoresCase);
        QFETCH(QString, expected);
        Disk disk;
        disk.pathCase = ignoresCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
        for (const QString& other : paths(others))
            disk.add(other);
        const Checked checked = check(sources, names, disk);
        QCOMPARE(describe(checked.findings), expected);
        // Notes alone (unchanged, swapped, spaces) are no problem; anything else is.
        bool problems = false;
        for (const QString& part : expected.split(u"; "_s, Qt::SkipEmptyParts))
            problems = problems
                       || !(part.startsWith(u"unchanged"_s) || part.startsWith(u"swap"_s)
                            || part.startsWith(u"spaces"_s));
        QCOMPARE(checked.findings.hasProblems(), problems);
        QCOMPARE(disk.mostLooks(), 1);
    }

    // Each group of ten entries holds every kind once, and the same kinds come out counted.
    void hundredThousandEntries()
    {
        constexpr qsizetype kEntries = 100'000;
        QStringList sources;
        QStringList lines;
        Disk disk;
        for (qsizetype i = 0; i < kEntries; ++i) {
            sources.append(u"f%1.mkv"_s.arg(i));
            switch (i % 10) {
            case 0: lines.append(u"f%1"_s.arg(i)); break;     // unchanged
            case 1: lines.append(QString()); break;           // empty
            case 2: lines.append(u"n%1"_s.arg(i)); break;     // free
            case 3: lines.append(u"n%1"_s.arg(i - 1)); break; // the same as entry 2
            case 4:                                           // another item is there
                lines.append(u"taken%1"_s.arg(i));
                disk.add(u"/d/taken%1.mkv"_s.arg(i));
                break;
            case 5: lines.append(u"f%1"_s.arg(i + 1)); break; // a later source, moved
            case 6: lines.append(u"f%1"_s.arg(i - 6)); break; // the source of entry 0, unchanged
            case 7: lines.append(u"f%1"_s.arg(i - 2)); break; // the source of entry 5, moved
            case 8: lines.append(u"f%1"_s.arg(i - 6)); break; // the source of entry 2, moved
            default: lines.append(u"n%1"_s.arg(i)); break;    // free
            }
        }
        const Checked checked = check(sources, lines.join(u"\r\n"_s), disk);
        const PrecheckFindings& f = checked.findings;
        QCOMPARE(f.entries, kEntries);
        QCOMPARE(f.lines, kEntries);
        QVERIFY(f.hasProblems());
        QCOMPARE(f.count(EntryFinding::Unchanged), kEntries / 10);
        QCOMPARE(f.count(EntryFinding::Empty), kEntries / 10);
        QCOMPARE(f.count(EntryFinding::Duplicate), kEntries / 10);
        QCOMPARE(f.count(EntryFinding::Existing), 2 * kEntries / 10);
        QCOMPARE(f.count(EntryFinding::Swap), 3 * kEntries / 10);
        QCOMPARE(f.count(EntryFinding::TooLong), 0);
        QCOMPARE(f.count(EntryFinding::InvalidCharacter), 0);
        QCOMPARE(f.firstEntries[int(EntryFinding::Existing)],
                 (QList<qsizetype>{4, 6, 14, 16, 24, 26, 34, 36, 44, 46}));
        QCOMPARE(f.firstEntries[int(EntryFinding::Swap)],
                 (QList<qsizetype>{5, 7, 8, 15, 17, 18, 25, 27, 28, 35}));
        QCOMPARE(f.firstEntries[int(EntryFinding::Duplicate)],
                 (QList<qsizetype>{3, 13, 23, 33, 43, 53, 63, 73, 83, 93}));
        QCOMPARE(disk.mostLooks(), 1);
    }

    void report_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("problems");
        QTest::addColumn<QString>("unchanged");
        QTest::addColumn<QString>("details");

        const QStringList abcd{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s};
        QTest::newRow("clean") << abcd << u"w\r\nx\r\ny\r\nz"_s << QString() << QString()
                               << QString();
        QTest::newRow("duplicates and an existing target")
            << abcd << u"x\r\nx\r\nx\r\ntaken"_s << u"重複 2件・既存 1件"_s << QString()
            << u"重複 2件: 前の行と同じ新しい名前です\n"
               u"  2行目  b.txt → x.txt\n"
               u"  3行目  c.txt → x.txt\n"
               u"既存 1件: 同じ名前の項目が既にあります\n"
               u"  4行目  d.txt → taken.txt"_s;
        QTest::newRow("swaps and spaces are notes in the ordinary colour")
            << abcd << u"b\r\na\r\nc\r\n z"_s << QString()
            << u"変更なし 1件・入れ替え 2件・前後の空白 1件"_s
            << u"変更なし 1件: 名前が変わりません\n  3行目  c.txt → c.txt\n"
               u"入れ替え 2件: いまその名前の項目もリネームするため、先にそちらを動かしてからリネー"
               u"ムします\n  1行目  a.txt → b.txt\n  2行目  b.txt → a.txt\n"
               u"前後の空白 1件: 名前の先頭か末尾に空白があります\n  4行目  d.txt →  z.txt"_s;
        QTest::newRow("unchanged only")
            << abcd << u"a\r\nb\r\ny\r\nz"_s << QString() << u"変更なし 2件"_s
            << u"変更なし 2件: 名前が変わりません\n  1行目  a.txt → a.txt\n"
               u"  2行目  b.txt → b.txt"_s;
        QTest::newRow("count mismatch first, unchanged last")
            << abcd << u"a\r\n\r\ny"_s
            << u"名前 3行 ≠ ファイル 4件・名前のないファイル 1件・空の名前 1件"_s
            << u"変更なし 1件"_s
            << u"名前の行数とファイルの数が合いません。行がずれていないか確かめてください。\n"
               u"名前のないファイル 1件: このファイルに当たる名前の行がありません\n  4件目  d.txt\n"
               u"空の名前 1件: 新しい名前が空です\n  2行目  b.txt → .txt\n"
               u"変更なし 1件: 名前が変わりません\n  1行目  a.txt → a.txt"_s;
        QTest::newRow("a target in a subfolder shows the subfolder")
            << QStringList{u"a.txt"_s, u"b.txt"_s} << u"s/x\r\ns/x"_s << u"重複 1件"_s << QString()
            << u"重複 1件: 前の行と同じ新しい名前です\n  2行目  b.txt → s/x.txt"_s;
    }
    void report()
    {
        QFETCH(QStringList, sources);
        QFETCH(QString, names);
        QFETCH(QString, problems);
        QFETCH(QString, unchanged);
        QFETCH(QString, details);
        Disk disk;
        disk.add(u"/d/s/"_s); // a subfolder to move into
        disk.add(u"/d/taken.txt"_s);
        const Checked checked = check(sources, names, disk);
        const PrecheckReport report =
            precheckReport(checked.findings, checked.sources, checked.targets, kSep);
        QCOMPARE(report.problems.join(u'・'), problems);
        QCOMPARE(report.unchanged, unchanged);
        QCOMPARE(report.details, details);
    }

    void reportNamesTheFirstTenAndCountsTheRest()
    {
        QStringList sources;
        for (int i = 0; i < 25; ++i)
            sources.append(u"f%1.txt"_s.arg(i));
        Disk disk;
        const Checked checked = check(sources, QString(), disk);
        const PrecheckReport report =
            precheckReport(checked.findings, checked.sources, checked.targets, kSep);
        // One empty line for the first file; the other 24 have none and are numbered as files.
        QCOMPARE(report.problems.join(u'・'),
                 u"名前 1行 ≠ ファイル 25件・名前のないファイル 24件・空の名前 1件"_s);
        const QStringList lines = report.details.split(u'\n');
        QCOMPARE(lines.size(), 1 + (1 + 10 + 1) + (1 + 1));
        QCOMPARE(lines.at(2), u"  2件目  f1.txt"_s);
        QCOMPARE(lines.at(11), u"  11件目  f10.txt"_s);
        QCOMPARE(lines.at(12), u"  ほか 14件"_s);
        QCOMPARE(lines.last(), u"  1行目  f0.txt → .txt"_s);
    }

    void reportShowsNamesAsTheUserReadsThem()
    {
        // A Shift-JIS file name from an old archive, renamed to a name that is already there.
        const QString source = quillet::batch::pathFromNativeBytes("/d/\x93\xAE\x89\xE6.mp4");
        const QStringList sources{source};
        const QStringList targets{u"/d/taken.mp4"_s};
        const PrecheckFindings findings = precheckBatch(
            sources, targets, u"taken"_s, kSep, [&source](const QString& path, LookUp) {
                return path == u"/d/taken.mp4"_s || path == source || path == u"/d"_s
                           ? std::optional<ItemInfo>(ItemInfo{path == u"/d"_s, 1})
                           : std::nullopt;
            });
        const PrecheckReport report = precheckReport(findings, sources, targets, kSep);
        QCOMPARE(report.problems, QStringList{u"既存 1件"_s});
        QVERIFY2(report.details.endsWith(u"  1行目  動画.mp4 → taken.mp4"_s),
                 qPrintable(report.details));
    }
};

QTEST_GUILESS_MAIN(TestPrecheck)
#include "tst_precheck.moc"
