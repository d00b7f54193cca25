// The rename run on real files in a temporary folder, with the prompt and the messages
// answered by a script. Every case checks the disk afterwards: nothing overwritten, nothing lost.
#include "batch/nativepath.h"
#include "checksum/filechecksum.h"
#include "rename/noreplacerename.h"
#include "rename/renamerun.h"
#include "rename/renamesession.h"
#include "rename/targets.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <deque>

#include <unistd.h>

using namespace quillet::rename;
using namespace quillet::checksum;
using namespace Qt::Literals::StringLiterals;

namespace {

class SilentProgress final : public ChecksumProgress {
public:
    void begin(const QString&) override {}
    void step(const QString&) override {}
    void end() override {}
};

struct Harness {
    QTemporaryDir dir;
    std::deque<QString> answers;
    QStringList prompts; // title | prompt | preset
    QStringList messages;
    int renameCalls = 0;

    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& content) const
    {
        quillet::test::writeFile(path(name), content);
    }
    QByteArray read(const QString& name) const { return quillet::test::readFile(path(name)); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    RenameOperations operations()
    {
        RenameOperations ops;
        ops.rename = [this](const QString& from, const QString& to) {
            ++renameCalls;
            return renameWithoutReplacing(from, to);
        };
        ops.askName = [this](const QString& prompt, const QString& title, const QString& preset) {
            prompts.append(title + u'|' + prompt + u'|' + preset);
            if (answers.empty())
                return QString();
            const QString answer = answers.front();
            answers.pop_front();
            return answer;
        };
        ops.showMessage = [this](const QString& text) { messages.append(text); };
        ops.exists = itemExists;
        ops.fileChecksum = [](const QString& file, ChecksumKind kind) {
            SilentProgress progress;
            return FileChecksum(file, kind, progress);
        };
        return ops;
    }

    // Planned as a rename run plans its batch.
    static RenameSummary runPlanned(const QStringList& sources, const QStringList& targets,
                                    const RenameOperations& operations)
    {
        RunRequest request;
        request.sources = sources;
        request.targets = targets;
        return RunRename(planOfRequest(request), sources, operations, u'/');
    }

    RenameSummary run(const QStringList& sources, const QStringList& targets)
    {
        QStringList fullSources;
        QStringList fullTargets;
        for (const QString& s : sources)
            fullSources.append(path(s));
        for (const QString& t : targets)
            fullTargets.append(path(t));
        return runPlanned(fullSources, fullTargets, operations());
    }
};

} // namespace

class TestRenameRun : public QObject {
    Q_OBJECT

private slots:
    void renamesInOrder()
    {
        Harness h;
        h.write(u"trip.avi"_s, "T");
        const RenameSummary summary = h.run({u"trip.avi"_s}, {u"Trip day 1.avi"_s});
        QCOMPARE(summary.renamed, 1);
        QCOMPARE(completionMessage(summary), u"リネームしました。"_s);
        QCOMPARE(h.files(), QStringList{u"Trip day 1.avi"_s});
        QCOMPARE(h.read(u"Trip day 1.avi"_s), QByteArray("T"));
    }

    void collisionRetriesUntilFreeOrCancelled()
    {
        Harness h;
        h.write(u"a.txt"_s, "A");
        h.write(u"b.txt"_s, "B");
        h.write(u"c.txt"_s, "C");
        h.answers = {u"b.txt"_s, u"new.txt"_s, QString()};
        const RenameSummary summary = h.run({u"a.txt"_s, u"c.txt"_s}, {u"b.txt"_s, u"b.txt"_s});
        QCOMPARE(summary.renamed, 1);
        QCOMPARE(summary.notRenamed, 1);
        QCOMPARE(completionMessage(summary),
                 u"2件中1件をリネームしました。1件はリネームしませんでした。"_s);
        // The prompt always shows the listed target and its file name, not the last answer.
        const QString prompt =
            u"ファイル名の変更|ファイル「 "_s + h.path(u"b.txt"_s)
            + u" 」は既に存在します。ファイル名を変更してください。\r\n\r\n"
              u"このファイル名のリネームをしない場合はキャンセルを押してください。|b.txt"_s;
        QCOMPARE(h.prompts, (QStringList{prompt, prompt, prompt}));
        QCOMPARE(h.files(), (QStringList{u"b.txt"_s, u"c.txt"_s, u"new.txt"_s}));
        QCOMPARE(h.read(u"new.txt"_s), QByteArray("A"));
        QCOMPARE(h.read(u"b.txt"_s), QByteArray("B"));
        QCOMPARE(h.read(u"c.txt"_s), QByteArray("C"));
    }

    void answerWithoutExtensionIsTheWholeName()
    {
        Harness h;
        h.write(u"a.txt"_s, "A");
        h.write(u"b.txt"_s, "B");
        h.answers = {u"plain"_s};
        h.run({u"a.txt"_s}, {u"b.txt"_s});
        QCOMPARE(h.files(), (QStringList{u"b.txt"_s, u"plain"_s}));
    }

    // A swap goes round through a temporary name: no prompt, and nothing else is left.
    void swapGoesRoundWithoutAPrompt()
    {
        Harness h;
        h.write(u"a.txt"_s, "A");
        h.write(u"b.txt"_s, "B");
        const RenameSummary summary = h.run({u"a.txt"_s, u"b.txt"_s}, {u"b.txt"_s, u"a.txt"_s});
        QCOMPARE(summary.renamed, 2);
        QVERIFY(h.prompts.isEmpty());
        QCOMPARE(h.read(u"a.txt"_s), QByteArray("B"));
        QCOMPARE(h.read(u"b.txt"_s), QByteArray("A"));
        QCOMPARE(
            QDir(h.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            (QStringList{u"a.txt"_s, u"b.txt"_s}));
    }

    void targetFreedByAnEarlierEntry()
    {
        Harness h;
        h.write(u"a.txt"_s, "A");
        h.write(u"b.txt"_s, "B");
        const RenameSummary summary = h.run({u"a.txt"_s, u"b.txt"_s}, {u"c.txt"_s, u"a.txt"_s});
        QCOMPARE(summary.renamed, 2);
        QVERIFY(h.prompts.isEmpty());
        QCOMPARE(h.read(u"c.txt"_s), QByteArray("A"));
        QCOMPARE(h.read(u"a.txt"_s), QByteArray("B"));
    }

    void failuresAreReportedAndTheRunGoesOn()
    {
        Harness h;
        h.write(u"a.txt"_s, "A");
        h.write(u"b.txt"_s, "B");
        h.write(u"c.txt"_s, "C");
        const RenameSummary summary = h.run(
            {u"missing.txt"_s, u"a.txt"_s, u"b.txt"_s, u"c.txt"_s},
            {u"x.txt"_s, u"no/such/folder.txt"_s, QString(300, u'n') + u".txt"_s, u"d.txt"_s});
        QCOMPARE(summary.renamed, 1);
        QCOMPARE(summary.notRenamed, 3);
        // The fixed text stays; the reason follows on a line of its own.
        QCOMPARE(h.messages,
                 (QStringList{failureMessage(h.path(u"missing.txt"_s), u"見つかりません"_s),
                              failureMessage(h.path(u"a.txt"_s),
                                             u"移動先のフォルダがないか、フォルダではありません"_s),
                              failureMessage(h.path(u"b.txt"_s), u"名前が長すぎます"_s)}));
        QCOMPARE(h.messages.first(),
                 h.path(u"missing.txt"_s)
                     + u"\r\n\r\nのリネームに失敗しました。\r\n見つかりません"_s);
        QCOMPARE(summary.skipped.size(), 3);
        QCOMPARE(summary.skipped.at(2).source, h.path(u"b.txt"_s));
        QCOMPARE(summary.skipped.at(2).reason, u"名前が長すぎます"_s);
        QVERIFY(completionDetails(summary).contains(h.path(u"missing.txt"_s)));
        QCOMPARE(h.files(), (QStringList{u"a.txt"_s, u"b.txt"_s, u"d.txt"_s}));
    }

    // Names that no file can have are refused before anything is tried: never a hidden ".ext"
    // file from an emptied line, never a name cut at a NUL.
    void namesThatCannotBe_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty line") << u".mkv"_s << u"新しい名前が空です"_s;
        QTest::newRow("NUL in the name")
            << u"ep\u0000cut.mkv"_s << u"名前に使えない文字があります"_s;
        QTest::newRow("256-byte japanese name")
            << QString(84, u'動') + u".mkv"_s << u"名前が長すぎます"_s;
        QTest::newRow("dot dot") << u".."_s << u"名前に使えない文字があります"_s;
    }
    void namesThatCannotBe()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        Harness h;
        h.write(u"ep05.mkv"_s, "E");
        const RenameSummary summary = h.run({u"ep05.mkv"_s}, {target});
        QCOMPARE(summary.notRenamed, 1);
        QCOMPARE(h.renameCalls, 0);
        QCOMPARE(h.messages, QStringList{failureMessage(h.path(u"ep05.mkv"_s), reason)});
        QCOMPARE(h.files(), QStringList{u"ep05.mkv"_s});
        QCOMPARE(
            QDir(h.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{u"ep05.mkv"_s});
    }

    // Putting old names back takes every name the disk once held, also one that no new name
    // may be: a dot file renamed to "a.txt" becomes ".txt" again, a name with a tab (made by
    // another program) comes back with it.
    void undoRunPutsBackOldNames_data()
    {
        QTest::addColumn<QString>("oldName");
        QTest::newRow("a dot file") << u".txt"_s;
        QTest::newRow("a name with a tab") << u"old\tname.txt"_s;
    }
    void undoRunPutsBackOldNames()
    {
        QFETCH(QString, oldName);
        Harness h;
        h.write(u"a.txt"_s, "A");
        RenameOperations ops = h.operations();
        ops.checkNewNames = false;
        const RenameSummary summary = RunRename(
            planInOrder({h.path(u"a.txt"_s)}, {h.path(oldName)}), {h.path(u"a.txt"_s)}, ops, u'/');
        QCOMPARE(summary.renamed, 1);
        QCOMPARE(h.read(oldName), QByteArray("A"));
    }

    void nameOfExactly255BytesIsRenamed()
    {
        Harness h;
        h.write(u"ep05.mkv"_s, "E");
        const QString name = QString(83, u'動') + u"ab.mkv"_s; // 249 + 2 + 4 bytes
        h.run({u"ep05.mkv"_s}, {name});
        QCOMPARE(h.files(), QStringList{name});
    }

    // A name in Shift-JIS bytes, renamed with its line unchanged, gets the same name in UTF-8.
    void shiftJisNameBecomesUtf8()
    {
        Harness h;
        const QByteArray folder = QFile::encodeName(h.dir.path());
        const QByteArray sjis = folder + "/\x93\xAE\x89\xE6.mp4";
        quillet::test::writeFile(QFile::decodeName(folder) + u"/tmp.mp4"_s, "V");
        QCOMPARE(::rename((folder + "/tmp.mp4").constData(), sjis.constData()), 0);
        const QString source = quillet::batch::pathFromNativeBytes(sjis);
        const QStringList targets = BuildTargetList({source}, u"動画"_s, u'/');
        const RenameSummary summary = Harness::runPlanned({source}, targets, h.operations());
        QCOMPARE(summary.renamed, 1);
        QCOMPARE(h.files(), QStringList{u"動画.mp4"_s});
        QCOMPARE(h.read(u"動画.mp4"_s), QByteArray("V"));
    }

    void vanishedUnchangedEntryIsAFailure()
    {
        Harness h;
        const RenameSummary summary = h.run({u"gone.txt"_s}, {u"gone.txt"_s});
        QCOMPARE(summary.renamed, 0);
        QCOMPARE(summary.notRenamed, 1);
        QCOMPARE(h.messages,
                 QStringList{failureMessage(h.path(u"gone.txt"_s), u"見つかりません"_s)});
    }

    void readOnlyFolderGivesItsReason()
    {
        if (::geteuid() == 0)
            QSKIP("root may write into any folder");
        Harness h;
        QVERIFY(QDir(h.dir.path()).mkdir(u"ro"_s));
        h.write(u"ro/a.txt"_s, "A");
        QVERIFY(QFile::setPermissions(h.path(u"ro"_s), QFile::ReadOwner | QFile::ExeOwner));
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(h.path(u"ro"_s),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        h.run({u"ro/a.txt"_s}, {u"ro/b.txt"_s});
        QCOMPARE(h.messages,
                 QStringList{failureMessage(h.path(u"ro/a.txt"_s), u"アクセスが拒否されました"_s)});
        QCOMPARE(h.read(u"ro/a.txt"_s), QByteArray("A"));
    }

    void checksumFailureSkipsOnlyThatEntry()
    {
        Harness h;
        QVERIFY(QDir(h.dir.path()).mkdir(u"folder"_s));
        h.write(u"a.bin"_s, "123456789");
        const RenameSummary summary =
            h.run({u"folder"_s, u"a.bin"_s}, {u"f [*/CRC32/*]"_s, u"a [*/CRC32/*].bin"_s});
        QCOMPARE(summary.renamed, 1);
        QCOMPARE(h.messages, QStringList{failureMessage(h.path(u"folder"_s),
                                                        u"チェックサムを取得できませんでした: フォルダーです"_s)});
        QVERIFY(QFileInfo(h.path(u"folder"_s)).isDir());
        QCOMPARE(h.files(), QStringList{u"a [CBF43926].bin"_s});
    }

    void bothTokensAreReplaced()
    {
        Harness h;
        h.write(u"a.bin"_s, "123456789");
        h.run({u"a.bin"_s}, {u"a */CRC16/* */CRC32/* */CRC16/*.bin"_s});
        QCOMPARE(h.files(), QStringList{u"a 6F91 CBF43926 6F91.bin"_s});
    }

    void lowerCaseTokenIsText()
    {
        Harness h;
        h.write(u"a.bin"_s, "x");
        h.run({u"a.bin"_s}, {u"a (crc16).bin"_s});
        QCOMPARE(h.files(), QStringList{u"a (crc16).bin"_s});
    }

    // The prompt names the target as listed, and offers the name that really exists, with its
    // checksum filled in, for editing.
    void collisionForATokenTargetOffersTheRealName()
    {
        Harness h;
        h.write(u"a.bin"_s, "123456789");
        h.write(u"a CBF43926.bin"_s, "taken");
        h.answers = {u"done.bin"_s};
        h.run({u"a.bin"_s}, {u"a */CRC32/*.bin"_s});
        QCOMPARE(h.prompts.size(), 1);
        QVERIFY(h.prompts.first().endsWith(u"|a CBF43926.bin"_s));
        QVERIFY(h.prompts.first().contains(h.path(u"a */CRC32/*.bin"_s)));
        QCOMPARE(h.read(u"done.bin"_s), QByteArray("123456789"));
        QCOMPARE(h.read(u"a CBF43926.bin"_s), QByteArray("taken"));
    }

    void unchangedEntryIsLeftAlone()
    {
        Harness h;
        h.write(u"same.txt"_s, "S");
        const RenameSummary summary = h.run({u"same.txt"_s}, {u"same.txt"_s});
        QCOMPARE(summary.renamed, 1);
        QCOMPARE(h.renameCalls, 0);
        QVERIFY(h.prompts.isEmpty());
        QCOMPARE(h.read(u"same.txt"_s), QByteArray("S"));
    }

    void moreTargetsThanSourcesAreIgnored()
    {
        Harness h;
        h.write(u"a.txt"_s, "A");
        const RenameSummary summary = h.run({u"a.txt"_s}, {u"b.txt"_s, u"c.txt"_s});
        QCOMPARE(summary.renamed + summary.notRenamed, 1);
        QCOMPARE(h.files(), QStringList{u"b.txt"_s});
    }
};

QTEST_GUILESS_MAIN(TestRenameRun)
#include "tst_renamerun.moc"
