// A whole rename run driven without windows, from the journal's plan to the end message, on real
// files: runs killed at random moments (a child process, this program started again with
// arguments, kills itself), runs stopped after N renames, and runs whose journal cannot be
// written. After each, the undo plan must hold exactly the renames that happened, and taking it
// back must restore every name and content.
#include "checksum/filechecksum.h"
#include "fallbackcalls.h"
#include "journal/journalfolder.h"
#include "journal/runhistory.h"
#include "journal/undoplan.h"
#include "rename/renamesession.h"
#include "sessiontest.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace quillet;
using namespace quillet::rename;
using namespace Qt::Literals::StringLiterals;

namespace {

using namespace quillet::sessiontest;

// A file system without the atomic no-replace rename and without hard links, as FAT through
// FUSE: the new name is reserved by an empty file first. The child dies right after the
// reservation of entry g_dieAtReservation.
int g_reservations = 0;
int g_dieAtReservation = -1;

using quillet::test::noLink;
using quillet::test::noRenameNoReplace;

int reserveThenMaybeDie(const char* path)
{
    const int made = systemCalls().createExclusive(path);
    if (g_reservations++ == g_dieAtReservation)
        ::kill(::getpid(), SIGKILL);
    return made;
}

const FileSystemCalls& reservingCalls()
{
    static const FileSystemCalls calls{noRenameNoReplace, noLink, ::rename, reserveThenMaybeDie,
                                       systemCalls().mkdir};
    return calls;
}

// No file of this process may grow past `bytes` while it lives, as on a disk that is full; a
// write past it fails instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_before);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_before.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_signal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_before{};
    void (*m_signal)(int) = nullptr;
};

// The child's part of killedRunLeavesExactlyItsRenames.
[[noreturn]] void killedRun(const QStringList& args)
{
    const QString journals = args.at(0);
    const QDir files(args.at(1));
    const int count = args.at(2).toInt();
    const int k = args.at(3).toInt();
    const QString moment = args.at(4);
    const QString variant = args.at(5);
    const auto die = [] { ::kill(::getpid(), SIGKILL); };
    if (moment == u"after-reservation")
        g_dieAtReservation = k;

    int renamed = 0;
    int checksums = 0;
    ScriptedRunDialogs dialogs;
    dialogs.answerName = [&](const QString& preset) {
        if (moment == u"in-prompt")
            die();
        return u"p-"_s + preset;
    };
    const NoticedRename rename = [&](const QString& from, const QString& to,
                                     const HelperNotice& notice) {
        if (moment == u"before-rename" && renamed == k)
            die();
        const RenameResult result = variant == u"fallback"
                                        ? renameThrough(reservingCalls(), from, to, notice)
                                        : renameWithoutReplacing(from, to, notice);
        if (result.outcome == RenameResult::Outcome::Done)
            ++renamed;
        if (moment == u"after-rename" && renamed == k + 1)
            die();
        return result;
    };
    const ChecksumFunction checksum = [&](const QString& path, checksum::ChecksumKind kind) {
        if (moment == u"in-checksum" && checksums++ == k)
            die();
        return realChecksum(path, kind);
    };
    RenameSession session(renameRequest(journals, makeBatch(files, count, variant)), dialogs,
                          checksum, rename);
    (void)session.run();
    std::exit(3); // never killed: the parent sees a normal exit and fails
}

} // namespace

class TestRenameSession : public QObject, private SessionFolders {
    Q_OBJECT

private slots:
    void init() { QVERIFY(nextCase()); }

    void killedRunLeavesExactlyItsRenames_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("moment");
        QTest::addColumn<QString>("variant");
        QTest::addColumn<int>("k"); // -1: a random entry

        QTest::newRow("500, before the first rename")
            << 500 << u"before-rename"_s << u"plain"_s << 0;
        QTest::newRow("500, after the last rename")
            << 500 << u"after-rename"_s << u"plain"_s << 499;
        for (const int count : {500, 2000, 5000}) {
            for (const QString& moment : {u"before-rename"_s, u"after-rename"_s}) {
                QTest::addRow("%d, %s, random entry", count, qPrintable(moment))
                    << count << moment << u"plain"_s << -1;
            }
        }
        QTest::newRow("500, in the prompt for a taken name")
            << 500 << u"in-prompt"_s << u"prompt"_s << 0;
        QTest::newRow("500, after a name from the prompt")
            << 500 << u"after-rename"_s << u"prompt"_s << 250;
        QTest::newRow("500, while a checksum is read")
            << 500 << u"in-checksum"_s << u"checksum"_s << -1;
        QTest::newRow("500, after the reservation of a new name (no atomic rename)")
            << 500 << u"after-reservation"_s << u"fallback"_s << -1;
        QTest::newRow("500, after a checksum was filled in")
            << 500 << u"after-rename"_s << u"checksum"_s << -1;
        // A rotation: one cycle whose first item steps aside under a temporary name and takes
        // its new name last.
        QTest::newRow("20000 rotated, after the step to the temporary name")
            << 20000 << u"after-rename"_s << u"rotation"_s << 0;
        QTest::newRow("20000 rotated, halfway round")
            << 20000 << u"after-rename"_s << u"rotation"_s << -1;
        QTest::newRow("20000 rotated, before the step from the temporary name")
            << 20000 << u"before-rename"_s << u"rotation"_s << 20000;
        QTest::newRow("20000 rotated, after the last step")
            << 20000 << u"after-rename"_s << u"rotation"_s << 20000;
    }

    void killedRunLeavesExactlyItsRenames()
    {
        QFETCH(int, count);
        QFETCH(QString, moment);
        QFETCH(QString, variant);
        QFETCH(int, k);
        if (k < 0) {
            const quint32 seed = QRandomGenerator::global()->generate();
            k = int(QRandomGenerator(seed).bounded(count));
            qInfo("killed at entry %d (seed %u)", k, seed);
        }
        makeFiles(count);
        if (variant == u"prompt")
            test::writeFile(file(u"g250.txt"_s), "in the way"); // entry 250 asks for a name

        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {u"--killed-run"_s, m_journals, m_files, QString::number(count),
                     QString::number(k), moment, variant});
        QVERIFY(child.waitForFinished(120000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        if (variant == u"rotation") {
            // Every name exists at every moment: only the contents tell what happened, and
            // taking the run back must put each one back, also from the temporary name.
            const journal::LastRunUndo last = journal::planUndoOfLastRun(m_journals);
            QVERIFY2(last.plan, qPrintable(last.message));
            QVERIFY(last.plan->problems.isEmpty());
            ScriptedRunDialogs dialogs;
            QCOMPARE(undoLastRun(m_journals, dialogs).notRenamed, 0);
            for (int i = 0; i < count; ++i)
                QCOMPARE(test::readFile(file(u"f%1.txt"_s.arg(i))), contentOf(i));
            QCOMPARE(fileNames().size(), count);
            return;
        }

        // The disk says which renames happened: the old names that are gone.
        QStringList happened;
        for (int i = 0; i < count; ++i) {
            if (!QFileInfo::exists(file(u"f%1.txt"_s.arg(i))))
                happened.prepend(file(u"f%1.txt"_s.arg(i)));
        }
        const journal::LastRunUndo last = journal::planUndoOfLastRun(m_journals);
        if (happened.isEmpty()) {
            QVERIFY2(!last.plan || last.plan->steps.isEmpty(), qPrintable(last.message));
            return;
        }
        QVERIFY2(last.plan, qPrintable(last.message));
        // An empty reservation the kill left under a new name is in the journal and told.
        const bool reserved = moment == u"after-reservation";
        QCOMPARE(last.plan->problems.size(), reserved ? 1 : 0);
        if (reserved) {
            QCOMPARE(last.plan->problems.first().path, file(u"g%1.txt"_s.arg(k)));
            QCOMPARE(last.plan->problems.first().reason,
                     journal::kLeftReservationReason.toString());
        }
        QCOMPARE(last.plan->targets(), happened);

        ScriptedRunDialogs dialogs;
        const RenameSummary undone = undoLastRun(m_journals, dialogs);
        QCOMPARE(undone.renamed, happened.size());
        QCOMPARE(undone.notRenamed, 0);
        for (int i = 0; i < count; ++i)
            QCOMPARE(test::readFile(file(u"f%1.txt"_s.arg(i))), contentOf(i));
        const qsizetype others = variant == u"prompt" || variant == u"fallback" ? 1 : 0;
        QCOMPARE(fileNames().size(), count + others);
    }

    // 中止 after N renames: the summary, the journal and the undo plan agree on exactly N.
    void stopAfterNRenames()
    {
        const int count = 300;
        const int n = 120;
        makeFiles(count);
        const Batch batch = makeBatch(QDir(m_files), count, u"plain"_s);
        ScriptedRunDialogs dialogs;
        RenameSession* running = nullptr;
        int renamed = 0;
        const NoticedRename rename = [&](const QString& from, const QString& to,
                                         const HelperNotice& notice) {
            const RenameResult result = renameWithoutReplacing(from, to, notice);
            if (++renamed == n)
                running->control().requestStop();
            return result;
        };
        RenameSession session(renameRequest(m_journals, batch), dialogs, realChecksum, rename);
        running = &session;
        const RenameSummary summary = session.run();
        QVERIFY(summary.stopped);
        QCOMPARE(summary.renamed, n);
        QCOMPARE(summary.untried, count - n);
        QCOMPARE(summary.notRenamed, count - n);
        QCOMPARE(session.control().done(), n);
        QCOMPARE(
            dialogs.messages.first(),
            u"中止しました。300件中120件をリネームしました。180件はリネームしませんでした。"_s);

        const journal::LastRunUndo last = journal::planUndoOfLastRun(m_journals);
        QVERIFY(last.plan);
        QCOMPARE(last.plan->steps.size(), n);
        QCOMPARE(undoLastRun(m_journals, dialogs).renamed, n);
        QCOMPARE(dialogs.messages.last(), u"元に戻しました。"_s);
        for (int i = 0; i < count; ++i)
            QCOMPARE(test::readFile(file(u"f%1.txt"_s.arg(i))), contentOf(i));
    }

    // A journal that cannot be written is a question before anything is renamed.
    void unwritableJournalAsksFirst_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("the user declines: nothing renamed") << false;
        QTest::newRow("the user goes on without the journal") << true;
    }

    void unwritableJournalAsksFirst()
    {
        QFETCH(bool, yes);
        test::writeFile(m_journals, "a file where the folder should be");
        makeFiles(3);
        ScriptedRunDialogs dialogs;
        dialogs.yes = yes;
        RenameSession session(renameRequest(m_journals, makeBatch(QDir(m_files), 3, u"plain"_s)),
                              dialogs, realChecksum);
        const RenameSummary summary = session.run();
        QCOMPARE(dialogs.questions.size(), 1);
        QVERIFY(dialogs.questions.first().contains(QDir::toNativeSeparators(m_journals)));
        QVERIFY(dialogs.questions.first().contains(u"元に戻せません"_s));
        QCOMPARE(summary.renamed, yes ? 3 : 0);
        QCOMPARE(fileNames().first(), yes ? u"g0.txt"_s : u"f0.txt"_s);
        QCOMPARE(dialogs.messages.size(), yes ? 1 : 0);
    }

    // The plan's later pieces are written while the renames go on; when the disk fills up
    // before the plan is whole, the run stops there: nothing the journal does not hold is
    // renamed, and the undo takes back exactly what was.
    void journalFullBeforeThePlanIsWholeStopsTheRun()
    {
        const int count = 6000;
        makeFiles(count);
        ScriptedRunDialogs dialogs;
        RenameSummary summary;
        {
            // Room for the plan's first pieces, not for the whole plan of 6,000 entries.
            const FileSizeLimit full(256 * 1024);
            RenameSession session(
                renameRequest(m_journals, makeBatch(QDir(m_files), count, u"plain"_s)), dialogs,
                realChecksum);
            summary = session.run();
        }
        QVERIFY(dialogs.questions.isEmpty());
        QVERIFY(summary.stopped);
        QVERIFY2(summary.renamed > 0 && summary.renamed < count,
                 qPrintable(QString::number(summary.renamed)));
        QCOMPARE(summary.renamed + summary.notRenamed, count);
        // At most the entry that found the plan stopped failed; the rest were left untried.
        QVERIFY(summary.skipped.size() <= 1);
        for (const SkippedEntry& skipped : summary.skipped)
            QCOMPARE(skipped.reason, kHelperNotRecordedReason.toString());
        QCOMPARE(summary.untried + summary.skipped.size(), summary.notRenamed);
        QCOMPARE(QDir(m_files).entryList({u"g*.txt"_s}, QDir::Files).size(), summary.renamed);
        // The failure of that entry, if one failed, the end message, and why it stopped.
        QCOMPARE(dialogs.messages.size(), 2 + summary.skipped.size());
        QVERIFY(dialogs.messages.at(dialogs.messages.size() - 2).startsWith(u"中止しました。"_s));
        QVERIFY(dialogs.messages.last().startsWith(journalStoppedMessage() + u'|'));

        const journal::LastRunUndo last = journal::planUndoOfLastRun(m_journals);
        QVERIFY2(last.plan, qPrintable(last.message));
        QCOMPARE(last.plan->steps.size(), summary.renamed);
        QCOMPARE(undoLastRun(m_journals, dialogs).renamed, summary.renamed);
        for (int i = 0; i < count; ++i)
            QCOMPARE(test::readFile(file(u"f%1.txt"_s.arg(i))), contentOf(i));
    }

    // Six episodes shifted by one, a swap and a rotation in one batch: no question, every
    // content under its new name, nothing left under a temporary name, and all of it taken back.
    void shiftSwapAndRotationRenameWithoutAPrompt()
    {
        Batch batch;
        QHash<QString, QByteArray> expected;
        const auto add = [&](const QString& from, const QString& to) {
            const QByteArray content = from.toUtf8();
            if (!QFileInfo::exists(file(from)))
                test::writeFile(file(from), content);
            batch.sources.append(file(from));
            batch.targets.append(file(to));
            expected.insert(to, content);
        };
        for (int i = 1; i <= 6; ++i)
            add(u"ep%1.mkv"_s.arg(i, 2, 10, QChar(u'0')),
                u"ep%1.mkv"_s.arg(i + 1, 2, 10, QChar(u'0')));
        add(u"x.txt"_s, u"y.txt"_s);
        add(u"y.txt"_s, u"x.txt"_s);
        add(u"c1"_s, u"c2"_s);
        add(u"c2"_s, u"c3"_s);
        add(u"c3"_s, u"c1"_s);
        const QStringList before = fileNames();
        ScriptedRunDialogs dialogs;
        dialogs.answerName = [](const QString& preset) -> QString {
            qFatal("asked for a name: %s", qPrintable(preset));
        };
        RenameSession session(renameRequest(m_journals, batch), dialogs, realChecksum);
        QCOMPARE(session.run().renamed, batch.sources.size());
        QCOMPARE(dialogs.messages, QStringList{u"リネームしました。"_s});
        for (auto name = expected.cbegin(); name != expected.cend(); ++name)
            QCOMPARE(test::readFile(file(name.key())), name.value());
        QStringList after = before;
        after.removeOne(u"ep01.mkv"_s);
        after.append(u"ep07.mkv"_s);
        after.sort();
        QCOMPARE(fileNames(), after);

        // The list of recent runs counts the items, not the steps through temporary names.
        const QList<journal::RunRecord> runs = journal::recentRuns(m_journals);
        QCOMPARE(runs.first().count, batch.sources.size());
        for (const auto& [from, to] : runs.first().firstNames)
            QVERIFY2(!from.contains(u".quillet-"_s) && !to.contains(u".quillet-"_s),
                     qPrintable(from + u" → "_s + to));
        // The undo takes back every move, the steps to and from the temporary names too.
        const RenameSummary undone = undoLastRun(m_journals, dialogs);
        QCOMPARE(undone.notRenamed, 0);
        QCOMPARE(undone.renamed, batch.sources.size() + 2);
        QCOMPARE(fileNames(), before);
        for (const QString& name : before)
            QCOMPARE(test::readFile(file(name)), name.toUtf8());
    }

    // 中止 halfway round a rotation puts the moved items back: no name is left under a
    // temporary one, and the cycle counts as untried.
    void stopHalfwayRoundPutsTheCycleBack()
    {
        const int count = 300;
        makeFiles(count);
        ScriptedRunDialogs dialogs;
        RenameSession* running = nullptr;
        int renamed = 0;
        const NoticedRename rename = [&](const QString& from, const QString& to,
                                         const HelperNotice& notice) {
            if (++renamed == 120)
                running->control().requestStop();
            return renameWithoutReplacing(from, to, notice);
        };
        RenameSession session(
            renameRequest(m_journals, makeBatch(QDir(m_files), count, u"rotation"_s)), dialogs,
            realChecksum, rename);
        running = &session;
        const RenameSummary summary = session.run();
        QVERIFY(summary.stopped);
        QCOMPARE(summary.renamed, 0);
        QCOMPARE(summary.untried, count);
        QVERIFY(summary.skipped.isEmpty());
        QCOMPARE(fileNames().size(), count);
        for (int i = 0; i < count; ++i)
            QCOMPARE(test::readFile(file(u"f%1.txt"_s.arg(i))), contentOf(i));
        // The journal says the put-back items are back: there is nothing to take back.
        const journal::LastRunUndo last = journal::planUndoOfLastRun(m_journals);
        QVERIFY(!last.plan || last.plan->steps.isEmpty());
    }

    // A move of a cycle that fails puts the cycle back, with one failure message and a reason
    // for each of its entries.
    void failedMoveRoundACyclePutsItBack()
    {
        const int count = 10;
        makeFiles(count);
        ScriptedRunDialogs dialogs;
        const QString refused = file(u"f5.txt"_s);
        const NoticedRename rename = [&](const QString& from, const QString& to,
                                         const HelperNotice& notice) {
            if (from == refused && to != refused.chopped(4) + u".txt"_s)
                return RenameResult::failed(u"使用中です"_s);
            return renameWithoutReplacing(from, to, notice);
        };
        RenameSession session(
            renameRequest(m_journals, makeBatch(QDir(m_files), count, u"rotation"_s)), dialogs,
            realChecksum, rename);
        const RenameSummary summary = session.run();
        QCOMPARE(summary.renamed, 0);
        QCOMPARE(summary.notRenamed, count);
        QCOMPARE(summary.skipped.size(), count);
        int failed = 0;
        for (const SkippedEntry& entry : summary.skipped) {
            if (entry.source == refused)
                QCOMPARE(entry.reason, u"使用中です"_s);
            else
                QCOMPARE(entry.reason, kCycleUndoneReason.toString());
            failed += entry.source == refused;
        }
        QCOMPARE(failed, 1);
        QCOMPARE(dialogs.messages.first(), failureMessage(refused, u"使用中です"_s));
        QCOMPARE(fileNames().size(), count);
        for (int i = 0; i < count; ++i)
            QCOMPARE(test::readFile(file(u"f%1.txt"_s.arg(i))), contentOf(i));
    }

    // A folder renamed while a file inside it takes the folder's old name: the folder steps
    // aside with the file inside, the file comes out under the old name, the folder takes its
    // new one; the undo puts both back.
    void cycleThroughAFolderAndAFileInsideIt()
    {
        QVERIFY(QDir(m_files).mkdir(u"A"_s));
        test::writeFile(file(u"A/x"_s), "X");
        test::writeFile(file(u"A/y"_s), "Y");
        ScriptedRunDialogs dialogs;
        RenameSession session(renameRequest(m_journals, {{file(u"A"_s), file(u"A/x"_s)},
                                                         {file(u"B"_s), file(u"A"_s)}}),
                              dialogs, realChecksum);
        QCOMPARE(session.run().renamed, 2);
        QCOMPARE(test::readFile(file(u"A"_s)), QByteArray("X"));
        QCOMPARE(test::readFile(file(u"B/y"_s)), QByteArray("Y"));
        QCOMPARE(QDir(m_files).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{u"A"_s, u"B"_s}));
        QCOMPARE(undoLastRun(m_journals, dialogs).notRenamed, 0);
        QCOMPARE(test::readFile(file(u"A/x"_s)), QByteArray("X"));
        QCOMPARE(test::readFile(file(u"A/y"_s)), QByteArray("Y"));
        QCOMPARE(QDir(m_files).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"A"_s});
    }

    // A line that names a folder that does not exist ("/no/such/folder/abs" after the file's
    // folder) fails in the journaled run with the check's words, not as a missing file.
    void missingFolderIsSaidAsTheCheckSaysIt()
    {
        const QString source = test::writeFile(file(u"a.txt"_s), "A");
        ScriptedRunDialogs dialogs;
        RenameSession session(
            renameRequest(m_journals, {{source}, {m_files + u"//no/such/folder/abs.txt"_s}}),
            dialogs, realChecksum);
        const RenameSummary summary = session.run();
        QCOMPARE(summary.notRenamed, 1);
        QCOMPARE(summary.skipped.value(0).reason, kFolderMissingReason.toString());
        QCOMPARE(test::readFile(source), QByteArray("A"));
    }

    // a → t, b → a, t → b swaps two files through a third name: the undo swaps them back, and
    // taking back the undo swaps them again.
    void swapIsUndoneAndRedone()
    {
        const QString a = test::writeFile(file(u"a.txt"_s), "A");
        const QString b = test::writeFile(file(u"b.txt"_s), "B");
        const QString t = file(u"t.txt"_s);
        ScriptedRunDialogs dialogs;
        RenameSession session(renameRequest(m_journals, {{a, b, t}, {t, a, b}}), dialogs,
                              realChecksum);
        QCOMPARE(session.run().renamed, 3);
        QCOMPARE(test::readFile(a), QByteArray("B"));
        QCOMPARE(undoLastRun(m_journals, dialogs).renamed, 3);
        QCOMPARE(test::readFile(a), QByteArray("A"));
        QCOMPARE(undoLastRun(m_journals, dialogs).renamed, 3);
        QCOMPARE(test::readFile(a), QByteArray("B"));
        QCOMPARE(test::readFile(b), QByteArray("A"));
        QCOMPARE(fileNames(), (QStringList{u"a.txt"_s, u"b.txt"_s}));
    }

    // A folder and a file inside it renamed in one run (the file first): the undo puts the
    // folder back and then the file inside it.
    void folderAndItsFileAreBothTakenBack()
    {
        QVERIFY(QDir(m_files).mkdir(u"album"_s));
        const QString track = test::writeFile(file(u"album/track.mp3"_s), "T");
        ScriptedRunDialogs dialogs;
        RenameSession session(
            renameRequest(m_journals, {{track, file(u"album"_s)},
                                       {file(u"album/track2.mp3"_s), file(u"album2"_s)}}),
            dialogs, realChecksum);
        QCOMPARE(session.run().renamed, 2);
        QVERIFY(QFileInfo::exists(file(u"album2/track2.mp3"_s)));
        const journal::LastRunUndo last = journal::planUndoOfLastRun(m_journals);
        QVERIFY(last.plan);
        QVERIFY(last.plan->problems.isEmpty());
        QCOMPARE(undoLastRun(m_journals, dialogs).renamed, 2);
        QCOMPARE(test::readFile(track), QByteArray("T"));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 8 && args.at(1) == u"--killed-run")
        killedRun(args.mid(2));
    TestRenameSession test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_renamesession.moc"
