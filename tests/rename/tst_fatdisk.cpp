// The rules of the disk each target is on, asked of a real FAT file system (a USB stick, an SD
// card), mounted through FUSE where the machine allows it: letter case is no collision, two
// spellings are one name, and what Windows cannot open is refused before the run and in it.
#include "fatmount.h"
#include "journal/undoplan.h"
#include "rename/diskrules.h"
#include "rename/itemlookup.h"
#include "rename/precheck.h"
#include "rename/renamesession.h"
#include "rename/targets.h"
#include "sessiontest.h"
#include "testfiles.h"

#include <QTest>

using namespace quillet;
using namespace quillet::rename;
using namespace quillet::sessiontest;
using namespace Qt::Literals::StringLiterals;

class TestFatDisk : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_fat = std::make_unique<test::FatMount>();
        if (!m_fat->mounted())
            QSKIP(m_fat->why()); // the imagined FAT disk of tst_precheck covers the rules
    }
    void cleanup() { m_fat.reset(); }

    void rulesComeFromTheFileSystem()
    {
        QCOMPARE(rulesOfFolder(m_fat->path()), windowsDiskRules());
        // A folder the batch will make is judged by the disk it will be made on.
        QCOMPARE(rulesOfFolder(m_fat->path() + u"/not/yet"_s), windowsDiskRules());
        QTemporaryDir local;
        const DiskRules ours = rulesOfFolder(local.path());
        QVERIFY(!ours.ignoresCase);
        QVERIFY(!ours.windowsNames);
        QVERIFY(ours.maxNameLength >= 143);
    }

    void checkSeesTheDisksRules()
    {
        const QStringList sources{fat(u"episode01.mkv"_s), fat(u"a.txt"_s), fat(u"b.txt"_s),
                                  fat(u"notes.txt"_s),     fat(u"trail"_s), fat(u"long.txt"_s)};
        for (const QString& source : sources)
            test::writeFile(source, "x");
        const QString names =
            u"Episode01\r\nX\r\nx\r\nnotes: draft\r\ntrail.\r\n"_s + QString(100, u'あ');
        const QStringList targets = BuildTargetList(sources, names, u'/');
        const PrecheckFindings findings = precheckBatch(sources, targets, names, u'/', lookUpItem);
        QCOMPARE(findings.count(EntryFinding::Existing), 0);
        QCOMPARE(findings.count(EntryFinding::Duplicate), 1);
        QCOMPARE(findings.firstEntries[int(EntryFinding::Duplicate)], QList<qsizetype>{2});
        QCOMPARE(findings.count(EntryFinding::InvalidCharacter), 2);
        QCOMPARE(findings.firstEntries[int(EntryFinding::InvalidCharacter)],
                 (QList<qsizetype>{3, 4}));
        // 100 characters are 300 bytes, but 104 of FAT's units: they fit.
        QCOMPARE(findings.count(EntryFinding::TooLong), 0);
        QCOMPARE(findings.marked.size(), 3);
    }

    // A change of letter case, a swap and a rotation on the stick: renamed without a question,
    // nothing left under a temporary name, and all taken back.
    void swapsAndCaseChangesRenameInOneGo()
    {
        QTemporaryDir journals;
        Batch batch;
        const auto add = [&](const QString& from, const QString& to) {
            if (!QFileInfo::exists(fat(from)))
                test::writeFile(fat(from), from.toUtf8());
            batch.sources.append(fat(from));
            batch.targets.append(fat(to));
        };
        add(u"episode01.mkv"_s, u"Episode01.mkv"_s);
        add(u"x.txt"_s, u"y.txt"_s);
        add(u"y.txt"_s, u"x.txt"_s);
        add(u"c1"_s, u"c2"_s);
        add(u"c2"_s, u"c3"_s);
        add(u"c3"_s, u"c1"_s);
        const PrecheckFindings findings = precheckBatch(
            batch.sources, batch.targets, u"1\r\n2\r\n3\r\n4\r\n5\r\n6"_s, u'/', lookUpItem);
        QVERIFY(!findings.hasProblems());
        QCOMPARE(findings.count(EntryFinding::Swap), 5);

        ScriptedRunDialogs dialogs;
        dialogs.answerName = [](const QString& preset) -> QString {
            qFatal("asked for a name: %s", qPrintable(preset));
        };
        RenameSession session(renameRequest(journals.path(), batch), dialogs, realChecksum);
        QCOMPARE(session.run().renamed, 6);
        QCOMPARE(dialogs.messages, QStringList{u"リネームしました。"_s});
        QCOMPARE(names(), (QStringList{u"Episode01.mkv"_s, u"c1"_s, u"c2"_s, u"c3"_s, u"x.txt"_s,
                                       u"y.txt"_s}));
        QCOMPARE(test::readFile(fat(u"y.txt"_s)), QByteArray("x.txt"));
        QCOMPARE(test::readFile(fat(u"c1"_s)), QByteArray("c3"));

        // FUSE's FAT numbers the item anew for each spelling: the change of case is taken
        // back all the same.
        const journal::LastRunUndo last = journal::planUndoOfLastRun(journals.path());
        QVERIFY(last.plan);
        QVERIFY(last.plan->problems.isEmpty());
        QCOMPARE(undoLastRun(journals.path(), dialogs).notRenamed, 0);
        QCOMPARE(names(), (QStringList{u"c1"_s, u"c2"_s, u"c3"_s, u"episode01.mkv"_s, u"x.txt"_s,
                                       u"y.txt"_s}));
        QCOMPARE(test::readFile(fat(u"c1"_s)), QByteArray("c1"));
    }

    // What the check calls 使えない文字 the run refuses with the same words.
    void runRefusesWhatTheDiskCannotHold()
    {
        QTemporaryDir journals;
        test::writeFile(fat(u"notes.txt"_s), "n");
        test::writeFile(fat(u"trail"_s), "t");
        ScriptedRunDialogs dialogs;
        RenameSession session(
            renameRequest(journals.path(), {{fat(u"notes.txt"_s), fat(u"trail"_s)},
                                            {fat(u"notes: draft.txt"_s), fat(u"trail."_s)}}),
            dialogs, realChecksum);
        const RenameSummary summary = session.run();
        QCOMPARE(summary.notRenamed, 2);
        for (const SkippedEntry& skipped : summary.skipped)
            QCOMPARE(skipped.reason, u"名前に使えない文字があります"_s);
        QCOMPARE(names(), (QStringList{u"notes.txt"_s, u"trail"_s}));
    }

private:
    QString fat(const QString& name) const { return m_fat->path() + u'/' + name; }
    QStringList names() const
    {
        QStringList found =
            QDir(m_fat->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        found.sort(Qt::CaseSensitive);
        return found;
    }

    std::unique_ptr<test::FatMount> m_fat;
};

QTEST_GUILESS_MAIN(TestFatDisk)
#include "tst_fatdisk.moc"
