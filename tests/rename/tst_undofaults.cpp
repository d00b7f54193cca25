// Taking runs back against the faults seen in use, through real runs on real files: a folder and
// the file inside it, an undo stopped or killed halfway and then finished, and the identity
// of an item on a file system without birth times.
#include "journal/journalfolder.h"
#include "journal/journalreader.h"
#include "sessiontest.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace quillet;
using namespace quillet::rename;
using namespace quillet::sessiontest;
using namespace Qt::Literals::StringLiterals;

namespace {

// The child's part of stoppedUndoIsFinished: takes the last run back and is killed after k
// renames.
[[noreturn]] void killedUndo(const QString& journals, int k)
{
    const journal::LastRunUndo last = journal::planUndoOfLastRun(journals);
    if (!last.plan)
        std::exit(4);
    int renamed = 0;
    const NoticedRename rename = [&](const QString& from, const QString& to,
                                     const HelperNotice& notice) {
        if (renamed == k)
            ::kill(::getpid(), SIGKILL);
        const RenameResult result = renameWithoutReplacing(from, to, notice);
        renamed += result.outcome == RenameResult::Outcome::Done ? 1 : 0;
        return result;
    };
    ScriptedRunDialogs dialogs;
    RenameSession session(undoRequest(journals, *last.plan), dialogs, realChecksum, rename);
    (void)session.run();
    std::exit(3);
}

// The identity of an item on a file system that keeps no birth times.
std::optional<journal::ItemIdentity> identityWithoutBirth(const QString& path)
{
    std::optional<journal::ItemIdentity> identity = journal::identityOf(path);
    if (identity)
        identity->createdNs = 0;
    return identity;
}

// Takes the last run back with the plan made by `lookup`; the summary and the plan's problems.
std::pair<RenameSummary, QList<journal::UndoProblem>>
undoLastRunWith(const QString& journals, const journal::IdentityLookup& lookup)
{
    const QStringList files = journal::journalFiles(journals);
    const journal::JournalRead read = journal::readJournal(files.last());
    const journal::UndoPlan plan = journal::planUndo(*read.contents, lookup);
    RunRequest request;
    request.kind = journal::RunKind::Undo;
    request.sources = plan.sources();
    request.targets = plan.targets();
    request.undoSteps = plan.steps;
    request.undoes = QFileInfo(files.last()).fileName();
    request.journalFolder = journals;
    ScriptedRunDialogs dialogs;
    RenameSession session(std::move(request), dialogs, realChecksum);
    return {session.run(), plan.problems};
}

} // namespace

class TestUndoFaults : public QObject, private SessionFolders {
    Q_OBJECT

private slots:
    void init() { QVERIFY(nextCase()); }

    // A folder and a file inside it renamed in one run, in either order: the undo puts every
    // name back, the plan carrying the folder's move over to the path inside it.
    void folderAndItsFileInEitherOrder_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("targets");
        QTest::addColumn<int>("renamed");
        QTest::newRow("the file, then its folder")
            << QStringList{u"album/track.mp3"_s, u"album"_s}
            << QStringList{u"album/track2.mp3"_s, u"album2"_s} << 2;
        // The run renames the file first, within the folder's old path, whatever the order.
        QTest::newRow("the folder, then the file by its old path")
            << QStringList{u"album"_s, u"album/track.mp3"_s}
            << QStringList{u"album2"_s, u"album/track2.mp3"_s} << 2;
    }

    void folderAndItsFileInEitherOrder()
    {
        QFETCH(QStringList, sources);
        QFETCH(QStringList, targets);
        QFETCH(int, renamed);
        QVERIFY(QDir(m_files).mkdir(u"album"_s));
        test::writeFile(file(u"album/track.mp3"_s), "T");
        Batch batch;
        for (qsizetype i = 0; i < sources.size(); ++i) {
            batch.sources.append(file(sources.at(i)));
            batch.targets.append(file(targets.at(i)));
        }
        ScriptedRunDialogs dialogs;
        RenameSession session(renameRequest(m_journals, batch), dialogs, realChecksum);
        QCOMPARE(session.run().renamed, renamed);
        QVERIFY(!QFileInfo::exists(file(u"album"_s)));
        const journal::LastRunUndo last = journal::planUndoOfLastRun(m_journals);
        QVERIFY2(last.plan, qPrintable(last.message));
        QVERIFY(last.plan->problems.isEmpty());
        const RenameSummary undone = undoLastRun(m_journals, dialogs);
        QCOMPARE(undone.renamed, renamed);
        QCOMPARE(undone.notRenamed, 0);
        QCOMPARE(test::readFile(file(u"album/track.mp3"_s)), QByteArray("T"));
        QCOMPARE(QDir(m_files).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{u"album"_s});
    }

    // An undo stopped halfway (killed, or 中止) is finished by the next undo: what is still
    // not back comes back, and what is back stays, instead of the undo being flipped.
    void stoppedUndoIsFinished_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::newRow("an undo killed halfway") << true;
        QTest::newRow("an undo stopped with 中止") << false;
    }

    void stoppedUndoIsFinished()
    {
        QFETCH(bool, killed);
        const int count = 200;
        const int k = 80;
        makeFiles(count);
        ScriptedRunDialogs dialogs;
        RenameSession first(renameRequest(m_journals, makeBatch(QDir(m_files), count, u"plain"_s)),
                            dialogs, realChecksum);
        QCOMPARE(first.run().renamed, count);
        const QString renameJournal = journal::journalFiles(m_journals).last();

        if (killed) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {u"--killed-undo"_s, m_journals, QString::number(k)});
            QVERIFY(child.waitForFinished(60000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        } else {
            const journal::LastRunUndo last = journal::planUndoOfLastRun(m_journals);
            QVERIFY(last.plan);
            RunRequest request;
            request.kind = journal::RunKind::Undo;
            request.sources = last.plan->sources();
            request.targets = last.plan->targets();
            request.undoSteps = last.plan->steps;
            request.undoes = QFileInfo(renameJournal).fileName();
            request.journalFolder = m_journals;
            RenameSession* running = nullptr;
            int renamed = 0;
            const NoticedRename rename = [&](const QString& from, const QString& to,
                                             const HelperNotice& notice) {
                const RenameResult result = renameWithoutReplacing(from, to, notice);
                if (++renamed == k)
                    running->control().requestStop();
                return result;
            };
            RenameSession undo(std::move(request), dialogs, realChecksum, rename);
            running = &undo;
            QCOMPARE(undo.run().renamed, k);
        }
        QCOMPARE(QDir(m_files).entryList({u"f*"_s}, QDir::Files).size(), k);

        const journal::LastRunUndo rest = journal::planUndoOfLastRun(m_journals);
        QVERIFY2(rest.plan, qPrintable(rest.message));
        QCOMPARE(rest.plan->journalPath, renameJournal);
        QCOMPARE(rest.plan->steps.size(), count - k);
        QVERIFY(rest.plan->problems.isEmpty());
        QCOMPARE(undoLastRun(m_journals, dialogs).renamed, count - k);
        for (int i = 0; i < count; ++i)
            QCOMPARE(test::readFile(file(u"f%1.txt"_s.arg(i))), contentOf(i));
        QCOMPARE(fileNames().size(), count);
    }

    // On a file system without birth times an item is its device, inode and size (a file) or
    // its device and inode (a folder): what changes a modification time keeps it, another item
    // or a file that grew does not.
    void identityWithoutBirthTimes_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("takenBack");
        QTest::newRow("a folder whose contents changed in the same run") << u"none"_s << true;
        QTest::newRow("a file whose modification time changed") << u"touch"_s << true;
        QTest::newRow("a folder filled after the run") << u"fill"_s << true;
        QTest::newRow("a file that grew after the run") << u"grow"_s << false;
        QTest::newRow("a file replaced by another of the same size") << u"replace"_s << false;
    }

    void identityWithoutBirthTimes()
    {
        QFETCH(QString, change);
        QFETCH(bool, takenBack);
        QVERIFY(QDir(m_files).mkdir(u"dir"_s));
        test::writeFile(file(u"dir/a.txt"_s), "A");
        ScriptedRunDialogs dialogs;
        // The file inside first: the folder's modification time changes after it was planned.
        RenameSession session(renameRequest(m_journals, {{file(u"dir/a.txt"_s), file(u"dir"_s)},
                                                         {file(u"dir/b.txt"_s), file(u"dir2"_s)}}),
                              dialogs, realChecksum);
        QCOMPARE(session.run().renamed, 2);
        const QString moved = file(u"dir2/b.txt"_s);
        if (change == u"touch") {
            QFile touched(moved);
            QVERIFY(touched.open(QIODevice::ReadWrite));
            QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addDays(-3),
                                        QFileDevice::FileModificationTime));
        } else if (change == u"fill") {
            test::writeFile(file(u"dir2/new.txt"_s), "N");
        } else if (change == u"grow") {
            test::writeFile(moved, "AAAA");
        } else if (change == u"replace") {
            test::writeFile(file(u"other"_s), "Z");
            QVERIFY(::rename(QFile::encodeName(file(u"other"_s)).constData(),
                             QFile::encodeName(moved).constData())
                    == 0);
        }
        const auto [summary, problems] = undoLastRunWith(m_journals, identityWithoutBirth);
        QVERIFY(QFileInfo::exists(file(u"dir"_s)));
        if (takenBack) {
            QVERIFY(problems.isEmpty());
            QCOMPARE(summary.renamed, 2);
            QVERIFY(QFileInfo::exists(file(u"dir/a.txt"_s)));
        } else {
            QCOMPARE(problems.size(), 1);
            QCOMPARE(problems.first().reason, journal::kReplacedReason.toString());
            QCOMPARE(summary.renamed, 1);
            QVERIFY(QFileInfo::exists(file(u"dir/b.txt"_s)));
        }
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args.at(1) == u"--killed-undo")
        killedUndo(args.at(2), args.at(3).toInt());
    TestUndoFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_undofaults.moc"
