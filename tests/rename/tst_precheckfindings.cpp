// What the pre-check finds beyond the names themselves: items gone since the drop, folders that
// are missing or are no folders, another file system, entries in several kinds at once, files
// without a line; on the imagined disk (imagineddisk.h) and on the real one.
#include "batch/nativepath.h"
#include "imagineddisk.h"
#include "rename/itemlookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace quillet::rename;
using namespace quillet::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// "1: ← 重複 (1行目と同じ)・既存; 2: …" for the marks of a report.
QString describeMarks(const PrecheckReport& report)
{
    QStringList parts;
    for (const EntryMark& mark : report.marks)
        parts.append(
            u"%1: %2%3"_s.arg(mark.entry).arg(mark.tag, mark.isProblem() ? u""_s : u" (ok)"_s));
    return parts.join(u"; "_s);
}

QString touch(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
    return path;
}

} // namespace

class TestPrecheckFindings : public QObject {
    Q_OBJECT

private slots:
    void findings_data()
    {
        QTest::addColumn<QStringList>("sources"); // file names in /d
        QTest::addColumn<QString>("names");
        QTest::addColumn<QStringList>("others"); // further items in /d, folders ending in "/"
        QTest::addColumn<QStringList>("gone");   // sources deleted since the drop
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("marks");

        const QStringList ab{u"a.txt"_s, u"b.txt"_s};
        const QStringList abc{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s};
        const QStringList none;
        QTest::newRow("a file deleted after the drop is missing")
            << ab << u"x\r\ny"_s << none << QStringList{u"a.txt"_s} << u"gone 0"_s
            << u"0: ← 見つかりません"_s;
        QTest::newRow("an unchanged file deleted after the drop is only missing")
            << ab << u"a\r\ny"_s << none << QStringList{u"a.txt"_s} << u"gone 0"_s
            << u"0: ← 見つかりません"_s;
        QTest::newRow("a deleted file frees its name for a later entry")
            << ab << u"x\r\na"_s << none << QStringList{u"a.txt"_s} << u"gone 0"_s
            << u"0: ← 見つかりません"_s;
        QTest::newRow("the folder of the target does not exist")
            << ab << u"sub/j\r\ny"_s << none << none << u"nofolder 0"_s
            << u"0: ← フォルダがありません"_s;
        QTest::newRow("the folder of the target is a file")
            << ab << u"sub/j\r\ny"_s << QStringList{u"sub"_s} << none << u"nofolder 0"_s
            << u"0: ← フォルダがありません"_s;
        QTest::newRow("an existing folder takes the target")
            << ab << u"sub/j\r\ny"_s << QStringList{u"sub/"_s} << none << QString() << QString();
        // The run moves the file in first, while the folder still has its old name.
        QTest::newRow("a file moved into a folder the batch renames goes in before it")
            << QStringList{u"sub"_s, u"j.txt"_s} << u"old\r\nsub/j"_s << QStringList{u"sub/"_s}
            << none << QString() << QString();
        QTest::newRow("a swap is tagged with the line whose name it takes")
            << QStringList{u"a.txt"_s, u"b.txt"_s} << u"b\r\na"_s << QStringList() << none
            << u"swap 0,1"_s
            << u"0: ← 入れ替え (2行目の名前) (ok); 1: ← 入れ替え (1行目の名前) (ok)"_s;
        QTest::newRow("a folder moved in by an earlier entry is there")
            << QStringList{u"old"_s, u"j.txt"_s} << u"sub\r\nsub/j"_s << QStringList{u"old/"_s}
            << none << QString() << QString();
        QTest::newRow("a file moved in where a folder is wanted")
            << QStringList{u"f"_s, u"j.txt"_s} << u"sub\r\nsub/j"_s << none << none
            << u"nofolder 1"_s << u"1: ← フォルダがありません"_s;
        QTest::newRow("a target folder on another file system")
            << ab << u"mnt/x\r\ny"_s << QStringList{u"mnt/"_s} << none << u"otherdrive 0"_s
            << u"0: ← 別のドライブ"_s;
        QTest::newRow("two lines naming the same existing file count twice as existing")
            << ab << u"taken\r\ntaken"_s << QStringList{u"taken.txt"_s} << none
            << u"duplicate 1; existing 0,1"_s << u"0: ← 既存; 1: ← 重複 (1行目と同じ)・既存"_s;
        QTest::newRow("three lines naming one free name point at the first")
            << abc << u"x\r\nx\r\nx"_s << none << none << u"duplicate 1,2"_s
            << u"1: ← 重複 (1行目と同じ); 2: ← 重複 (1行目と同じ)"_s;
        QTest::newRow("files without a line are their own kind")
            << abc << u"x"_s << none << none << u"mismatch 1/3; noline 1,2"_s
            << u"1: ← 名前のないファイル; 2: ← 名前のないファイル"_s;
        QTest::newRow("an emptied line is an empty name, the file after it has none")
            << abc << u"x\r\n"_s << none << none << u"mismatch 2/3; empty 1; noline 2"_s
            << u"1: ← 空の名前; 2: ← 名前のないファイル"_s;
        QTest::newRow("unchanged entries are marked in the ordinary colour")
            << ab << u"a\r\ny"_s << none << none << u"unchanged 0"_s << u"0: ← 変更なし (ok)"_s;
    }
    void findings()
    {
        QFETCH(QStringList, sources);
        QFETCH(QString, names);
        QFETCH(QStringList, others);
        QFETCH(QStringList, gone);
        QFETCH(QString, expected);
        QFETCH(QString, marks);
        Disk disk;
        for (const QString& other : paths(others))
            disk.add(other);
        const Checked checked = check(sources, names, disk, gone);
        QCOMPARE(describe(checked.findings), expected);
        QCOMPARE(checked.findings.hasProblems(), !expected.isEmpty()
                                                     && !expected.startsWith(u"unchanged"_s)
                                                     && !expected.startsWith(u"swap"_s));
        QCOMPARE(disk.mostLooks(), 1);
        const PrecheckReport report =
            precheckReport(checked.findings, checked.sources, checked.targets, kSep);
        QCOMPARE(describeMarks(report), marks);
    }

    // The details name a file without a line by its place among the files: the editor has no
    // line to point at.
    void filesWithoutALineAreNumberedByEntry()
    {
        Disk disk;
        const Checked checked = check({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}, u"x\r\ny"_s, disk);
        const PrecheckReport report =
            precheckReport(checked.findings, checked.sources, checked.targets, kSep);
        QCOMPARE(report.problems,
                 (QStringList{u"名前 2行 ≠ ファイル 3件"_s, u"名前のないファイル 1件"_s}));
        QVERIFY2(report.details.endsWith(
                     u"名前のないファイル 1件: このファイルに当たる名前の行がありません\n"
                     u"  3件目  c.txt"_s),
                 qPrintable(report.details));
    }

    // Every new kind in each group of ten, the last five files without a line.
    void hundredThousandEntriesOfEveryKind()
    {
        constexpr qsizetype kEntries = 100'000;
        constexpr qsizetype kWithoutLine = 5;
        QStringList sources;
        QStringList gone;
        QStringList lines;
        Disk disk;
        disk.add(u"/d/mnt/"_s);
        for (qsizetype i = 0; i < kEntries; ++i) {
            sources.append(u"f%1.mkv"_s.arg(i));
            switch (i % 10) {
            case 0:
                gone.append(sources.last());
                lines.append(u"n%1"_s.arg(i));
                break;
            case 1: lines.append(u"nosuch/n%1"_s.arg(i)); break;
            case 2: lines.append(u"mnt/n%1"_s.arg(i)); break;
            case 3:
                lines.append(u"taken%1"_s.arg(i));
                disk.add(u"/d/taken%1.mkv"_s.arg(i));
                break;
            case 4: lines.append(u"taken%1"_s.arg(i - 1)); break; // duplicate and existing
            case 5: lines.append(QString()); break;
            case 6: lines.append(u"f%1"_s.arg(i)); break;     // unchanged
            case 7: lines.append(u"n%1"_s.arg(i)); break;     // free
            case 8: lines.append(u"n%1"_s.arg(i - 1)); break; // duplicate only
            default: lines.append(u"n%1"_s.arg(i)); break;
            }
        }
        lines.resize(kEntries - kWithoutLine);
        const Checked checked = check(sources, lines.join(u"\r\n"_s), disk, gone);
        const PrecheckFindings& f = checked.findings;
        const qsizetype groups = kEntries / 10;
        QCOMPARE(f.lines, kEntries - kWithoutLine);
        QCOMPARE(f.count(EntryFinding::SourceMissing), groups);
        QCOMPARE(f.count(EntryFinding::FolderMissing), groups);
        QCOMPARE(f.count(EntryFinding::OtherDrive), groups);
        QCOMPARE(f.count(EntryFinding::Existing), 2 * groups);
        // The last group's entries 5 to 9 have no line.
        QCOMPARE(f.count(EntryFinding::Duplicate), 2 * groups - 1);
        QCOMPARE(f.count(EntryFinding::Empty), groups - 1);
        QCOMPARE(f.count(EntryFinding::Unchanged), groups - 1);
        QCOMPARE(f.count(EntryFinding::NoLine), kWithoutLine);
        QCOMPARE(f.firstEntries[int(EntryFinding::NoLine)],
                 (QList<qsizetype>{99'995, 99'996, 99'997, 99'998, 99'999}));
        QCOMPARE(f.marked.size(), 8 * groups + 2);
        QCOMPARE(f.marked.at(8 + 4).entry, 14);
        QCOMPARE(f.marked.at(8 + 4).sameAs, 13);
        QCOMPARE(f.marked.at(8 + 7).entry, 18);
        QCOMPARE(f.marked.at(8 + 7).sameAs, 17);
        QCOMPARE(disk.mostLooks(), 1);
    }

    // The same kinds found through the system's own lookups in a temporary folder.
    void onTheRealDisk_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("expected");
        QTest::newRow("clean") << u"x\r\ny\r\nz"_s << QString();
        QTest::newRow("a file deleted after the drop") << u"x\r\ngone\r\nz"_s << u"gone 1"_s;
        QTest::newRow("a missing folder") << u"nosuch/x\r\ny\r\nz"_s << u"nofolder 0"_s;
        QTest::newRow("a folder that is a file") << u"file/x\r\ny\r\nz"_s << u"nofolder 0"_s;
        QTest::newRow("a folder reached through a symbolic link")
            << u"link/x\r\ny\r\nz"_s << QString();
        QTest::newRow("a real folder") << u"sub/x\r\ny\r\nz"_s << QString();
        QTest::newRow("an existing item, twice")
            << u"file\r\nfile\r\nz"_s << u"duplicate 1; existing 0,1"_s;
    }
    void onTheRealDisk()
    {
        QFETCH(QString, names);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QStringList sources{touch(dir.filePath(u"a"_s)), touch(dir.filePath(u"b"_s)),
                                  touch(dir.filePath(u"c"_s))};
        touch(dir.filePath(u"file"_s));
        QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
        QVERIFY(QFile::link(dir.filePath(u"sub"_s), dir.filePath(u"link"_s)));
        if (names.contains(u"gone"_s))
            QVERIFY(QFile::remove(sources.at(1)));
        const QStringList targets = BuildTargetList(sources, names, kSep);
        const PrecheckFindings findings = precheckBatch(sources, targets, names, kSep, lookUpItem);
        QCOMPARE(describe(findings), expected);
    }

    // A tmpfs under /dev/shm against the folder of the test program: a rename cannot cross.
    void anotherFileSystemOnTheRealDisk()
    {
        QTemporaryDir here(QCoreApplication::applicationDirPath() + u"/precheck-XXXXXX"_s);
        QTemporaryDir there(u"/dev/shm/quillet-precheck-XXXXXX"_s);
        if (!here.isValid() || !there.isValid())
            QSKIP("no writable /dev/shm or build folder here to stand for a second file system");
        struct stat a;
        struct stat b;
        if (::stat(QFile::encodeName(here.path()).constData(), &a) != 0
            || ::stat(QFile::encodeName(there.path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
            QSKIP("/dev/shm and the build folder are on one file system here");
        const QStringList sources{touch(here.filePath(u"a.txt"_s)),
                                  touch(here.filePath(u"b.txt"_s))};
        const QStringList targets{there.filePath(u"a.txt"_s), here.filePath(u"y.txt"_s)};
        const PrecheckFindings findings =
            precheckBatch(sources, targets, u"x\r\ny"_s, kSep, lookUpItem);
        QCOMPARE(describe(findings), u"otherdrive 0"_s);
    }
};

QTEST_GUILESS_MAIN(TestPrecheckFindings)
#include "tst_precheckfindings.moc"
