// The rename journal and the undo of the last run, on real files in temporary folders. A run
// killed halfway is a child process (this program started again with an argument) that kills
// itself from inside the rename callback.
#include "batch/nativepath.h"
#include "journal/renamejournal.h"
#include "journal/undoplan.h"
#include "rename/journaledrename.h"
#include "rename/noreplacerename.h"
#include "rename/renamerun.h"
#include "rename/undoguard.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quillet::rename;
using namespace quillet::journal;
using quillet::checksum::ChecksumKind;
using namespace Qt::Literals::StringLiterals;
using quillet::batch::nativeBytesFromPath;
using quillet::batch::pathFromNativeBytes;

Q_DECLARE_METATYPE(JournalEntry)

namespace {

QByteArray contentOf(int i)
{
    return "content of file " + QByteArray::number(i);
}

// Operations for a run without windows: no prompt answered, messages kept.
RenameOperations quietOperations(RenameFunction rename, QStringList* messages = nullptr)
{
    RenameOperations ops;
    ops.rename = std::move(rename);
    ops.askName = [](const QString&, const QString&, const QString&) { return QString(); };
    ops.showMessage = [messages](const QString& text) {
        if (messages)
            messages->append(text);
    };
    ops.fileChecksum = [](const QString&, ChecksumKind) { return std::optional<QString>(); };
    ops.exists = itemExists;
    return ops;
}

// One journaled run over the pairs, as the main window runs it.
RenameSummary journaledRun(const QString& journalFolder, const QStringList& sources,
                           const QStringList& targets, RunKind kind = RunKind::Rename)
{
    RenameJournal journal(journalFolder, kind);
    return RunRename(sources, targets, quietOperations(journaled(journal, renameWithoutReplacing)),
                     u'/');
}

// Takes the plan back through the run, the way the confirmation window does.
RenameSummary runUndo(const QString& journalFolder, const UndoPlan& plan,
                      QStringList* messages = nullptr)
{
    RenameJournal journal(journalFolder, RunKind::Undo);
    const RenameOperations ops = quietOperations(
        journaled(journal, UndoGuard(plan.steps, renameWithoutReplacing)), messages);
    return RunRename(plan.sources(), plan.targets(), ops, u'/');
}

// The child's part of killedRunLeavesExactlyItsRenames: renames f<i>.txt to g<i>.txt and kills
// itself once k renames went through, at the named moment.
[[noreturn]] void killedRun(const QStringList& args)
{
    const QString journalFolder = args.at(0);
    const QDir files(args.at(1));
    const int count = args.at(2).toInt();
    const int k = args.at(3).toInt();
    const QString moment = args.at(4);
    QStringList sources;
    QStringList targets;
    for (int i = 0; i < count; ++i) {
        sources.append(files.filePath(u"f%1.txt"_s.arg(i)));
        targets.append(files.filePath(u"g%1.txt"_s.arg(i)));
    }
    int renamed = 0;
    const auto die = [] { ::kill(::getpid(), SIGKILL); };
    RenameJournal journal(journalFolder, RunKind::Rename);
    const RenameFunction journaled =
        quillet::rename::journaled(journal, [&](const QString& from, const QString& to) {
            if (moment == u"after-attempt" && renamed == k)
                die();
            const RenameResult result = renameWithoutReplacing(from, to);
            if (result.outcome == RenameResult::Outcome::Done)
                ++renamed;
            if (moment == u"after-rename" && renamed == k)
                die();
            return result;
        });
    const RenameOperations ops = quietOperations([&](const QString& from, const QString& to) {
        if (moment == u"before-attempt" && renamed == k)
            die();
        return journaled(from, to);
    });
    (void)RunRename(sources, targets, ops, u'/');
    std::exit(3); // never killed: the parent sees a normal exit and fails
}

// A file whose name holds bytes that are not UTF-8, made by the system call itself.
QString writeByBytes(const QByteArray& path, const QByteArray& content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0 || ::write(fd, content.constData(), size_t(content.size())) != content.size())
        qFatal("cannot write %s", path.constData());
    ::close(fd);
    return pathFromNativeBytes(path);
}

QByteArray readByBytes(const QString& path)
{
    QByteArray content(64, '\0');
    const int fd = ::open(nativeBytesFromPath(path).constData(), O_RDONLY);
    const ssize_t size = fd < 0 ? -1 : ::read(fd, content.data(), size_t(content.size()));
    if (fd >= 0)
        ::close(fd);
    return size < 0 ? QByteArray("<missing>") : content.left(size);
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

ItemIdentity id(quint64 inode)
{
    return {1, inode, 10, 100};
}

} // namespace

class TestRenameJournal : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_journals;
    QString m_files;
    int m_case = 0;

    QString file(const QString& name) const { return m_files + u'/' + name; }
    QStringList fileNames() const
    {
        return QDir(m_files).entryList(QDir::Files | QDir::System, QDir::Name);
    }

private slots:
    void init()
    {
        ++m_case;
        m_journals = m_root.filePath(u"journal%1"_s.arg(m_case));
        m_files = m_root.filePath(u"files%1"_s.arg(m_case));
        QVERIFY(QDir().mkpath(m_files));
    }

    // Each attempt, collision retries included, is in the file when its rename is called, with
    // the exact bytes of both paths; its outcome follows it.
    void attemptIsOnDiskBeforeEachRename()
    {
        const QString plain = quillet::test::writeFile(file(u"a.txt"_s), "A");
        const QString shiftJis = writeByBytes(QFile::encodeName(m_files) + "/\x82\xa0.txt", "S");
        quillet::test::writeFile(file(u"taken.txt"_s), "T");
        const QStringList sources{plain, shiftJis};
        const QStringList targets{
            file(u"taken.txt"_s),
            pathFromNativeBytes(nativeBytesFromPath(m_files) + "/\x83\x41.txt")};

        RenameJournal journal(m_journals, RunKind::Rename);
        QStringList seen;
        const RenameFunction journaled =
            quillet::rename::journaled(journal, [&](const QString& from, const QString& to) {
                const JournalRead read = readJournal(journal.path());
                if (read.contents && !read.contents->entries.isEmpty()) {
                    const JournalEntry& last = read.contents->entries.last();
                    if (last.from == from && last.to == to
                        && last.state == JournalEntry::State::Unknown && last.before)
                        seen.append(QFileInfo(to).fileName());
                }
                return renameWithoutReplacing(from, to);
            });
        RenameOperations ops = quietOperations(journaled);
        ops.askName = [](const QString&, const QString&, const QString&) { return u"free.txt"_s; };
        const RenameSummary summary = RunRename(sources, targets, ops, u'/');
        journal.finish();
        QVERIFY2(summary.skipped.isEmpty(), qPrintable(summary.skipped.value(0).reason));
        QCOMPARE(summary.renamed, 2);
        QCOMPARE(seen.size(), 3);

        const JournalRead read = readJournal(journal.path());
        QVERIFY2(read.contents, qPrintable(read.damage));
        const QList<JournalEntry>& entries = read.contents->entries;
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[0].to, file(u"taken.txt"_s));
        QCOMPARE(entries[0].state, JournalEntry::State::NotRenamed);
        QCOMPARE(entries[1].to, file(u"free.txt"_s));
        QCOMPARE(entries[1].state, JournalEntry::State::Renamed);
        QCOMPARE(nativeBytesFromPath(entries[2].from), nativeBytesFromPath(shiftJis));
        QCOMPARE(nativeBytesFromPath(entries[2].to), nativeBytesFromPath(targets[1]));
        QCOMPARE(entries[2].state, JournalEntry::State::Renamed);
        // What identifies the item after the rename is the item now at the new path.
        QCOMPARE(entries[2].after, identityOf(targets[1]));
        QVERIFY(entries[2].before->sameItem(*entries[2].after));

        // Taken back, the name gets its old bytes again.
        const LastRunUndo last = planUndoOfLastRun(m_journals);
        QVERIFY(last.plan);
        QCOMPARE(runUndo(m_journals, *last.plan).renamed, 2);
        QCOMPARE(readByBytes(shiftJis), QByteArray("S"));
        QCOMPARE(quillet::test::readFile(plain), QByteArray("A"));
    }

    void killedRunLeavesExactlyItsRenames_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("moment");
        QTest::addColumn<int>("blocked"); // an entry whose target exists before the run, or -1

        QTest::newRow("killed before the first attempt") << 4 << 0 << u"before-attempt"_s << -1;
        QTest::newRow("killed between two entries") << 5 << 2 << u"before-attempt"_s << -1;
        QTest::newRow("killed between an attempt and its rename")
            << 5 << 2 << u"after-attempt"_s << -1;
        QTest::newRow("killed between a rename and its outcome")
            << 5 << 3 << u"after-rename"_s << -1;
        QTest::newRow("killed after the last rename, before its outcome")
            << 3 << 3 << u"after-rename"_s << -1;
        QTest::newRow("a refused attempt before the kill") << 6 << 2 << u"after-rename"_s << 1;
    }

    void killedRunLeavesExactlyItsRenames()
    {
        QFETCH(int, count);
        QFETCH(int, k);
        QFETCH(QString, moment);
        QFETCH(int, blocked);
        for (int i = 0; i < count; ++i)
            quillet::test::writeFile(file(u"f%1.txt"_s.arg(i)), contentOf(i));
        if (blocked >= 0)
            quillet::test::writeFile(file(u"g%1.txt"_s.arg(blocked)), "in the way");

        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {u"--killed-run"_s, m_journals, m_files, QString::number(count),
                     QString::number(k), moment});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        // The renames that went through, newest first, are exactly the plan.
        QStringList happened;
        for (int i = 0; i < count && happened.size() < k; ++i) {
            if (i != blocked)
                happened.prepend(u"f%1.txt"_s.arg(i));
        }
        const LastRunUndo last = planUndoOfLastRun(m_journals);
        if (k == 0) {
            QVERIFY(!last.plan);
            QCOMPARE(last.message, nothingToUndoMessage());
            return;
        }
        QVERIFY2(last.plan, qPrintable(last.message));
        QStringList planned;
        for (const UndoStep& step : last.plan->steps) {
            QCOMPARE(QFileInfo(step.from).fileName(),
                     QFileInfo(step.to).fileName().replace(u'f', u'g'));
            planned.append(QFileInfo(step.to).fileName());
        }
        QCOMPARE(planned, happened);
        QVERIFY(last.plan->problems.isEmpty());

        const RenameSummary summary = runUndo(m_journals, *last.plan);
        QCOMPARE(summary.notRenamed, 0);
        for (int i = 0; i < count; ++i)
            QCOMPARE(quillet::test::readFile(file(u"f%1.txt"_s.arg(i))), contentOf(i));
    }

    // Undone: what is still where the run left it. Reported: what has been moved away or
    // replaced since; neither is ever renamed.
    void undoReportsItemsMovedAwayAndRestoresTheRest()
    {
        QStringList sources;
        QStringList targets;
        for (int i = 0; i < 4; ++i) {
            sources.append(quillet::test::writeFile(file(u"old%1.txt"_s.arg(i)), contentOf(i)));
            targets.append(file(u"new%1.txt"_s.arg(i)));
        }
        QCOMPARE(journaledRun(m_journals, sources, targets).renamed, 4);
        QVERIFY(QDir().mkpath(m_root.filePath(u"elsewhere"_s)));
        QVERIFY(QFile::rename(targets[1], m_root.filePath(u"elsewhere/new1.txt"_s)));
        QVERIFY(QFile::remove(targets[2]));
        quillet::test::writeFile(targets[2], "another file");

        const LastRunUndo last = planUndoOfLastRun(m_journals);
        QVERIFY(last.plan);
        QCOMPARE(last.plan->sources(), (QStringList{targets[3], targets[0]}));
        QCOMPARE(last.plan->targets(), (QStringList{sources[3], sources[0]}));
        QCOMPARE(last.plan->problems.size(), 2);
        QCOMPARE(last.plan->problems[0].path, targets[2]);
        QCOMPARE(last.plan->problems[0].reason, kReplacedReason.toString());
        QCOMPARE(last.plan->problems[1].path, targets[1]);
        QCOMPARE(last.plan->problems[1].reason, kMissingReason.toString());
        const QString message = undoProblemsMessage(last.plan->problems, u'/');
        QVERIFY(message.contains(targets[1]));
        QVERIFY(message.contains(targets[2]));

        QCOMPARE(runUndo(m_journals, *last.plan).renamed, 2);
        QCOMPARE(fileNames(), (QStringList{u"new2.txt"_s, u"old0.txt"_s, u"old3.txt"_s}));
        QCOMPARE(quillet::test::readFile(sources[0]), contentOf(0));
        QCOMPARE(quillet::test::readFile(sources[3]), contentOf(3));
        QCOMPARE(quillet::test::readFile(targets[2]), QByteArray("another file"));
    }

    // An item replaced after the plan was made and before the undo runs is refused by the run.
    void undoRefusesAnItemReplacedAfterThePlan()
    {
        const QString source = quillet::test::writeFile(file(u"a.txt"_s), "A");
        const QString target = file(u"b.txt"_s);
        QCOMPARE(journaledRun(m_journals, {source}, {target}).renamed, 1);
        const LastRunUndo last = planUndoOfLastRun(m_journals);
        QVERIFY(last.plan);
        QCOMPARE(last.plan->steps.size(), 1);
        QVERIFY(QFile::remove(target));
        quillet::test::writeFile(target, "B");

        QStringList messages;
        const RenameSummary summary = runUndo(m_journals, *last.plan, &messages);
        QCOMPARE(summary.notRenamed, 1);
        QCOMPARE(summary.skipped.first().reason, kReplacedReason.toString());
        QCOMPARE(messages.size(), 1);
        QCOMPARE(fileNames(), QStringList{u"b.txt"_s});
    }

    // a → t, b → a, t → b swaps two files through a third name: the plan sees the disk as the
    // newer steps leave it, and the undo of the undo swaps them again.
    void swapThroughAThirdNameIsUndoneAndRedone()
    {
        const QString a = quillet::test::writeFile(file(u"a.txt"_s), "A");
        const QString b = quillet::test::writeFile(file(u"b.txt"_s), "B");
        const QString t = file(u"t.txt"_s);
        QCOMPARE(journaledRun(m_journals, {a, b, t}, {t, a, b}).renamed, 3);
        QCOMPARE(quillet::test::readFile(a), QByteArray("B"));

        LastRunUndo last = planUndoOfLastRun(m_journals);
        QVERIFY(last.plan);
        QCOMPARE(last.plan->sources(), (QStringList{b, a, t}));
        QCOMPARE(last.plan->targets(), (QStringList{t, b, a}));
        QCOMPARE(runUndo(m_journals, *last.plan).renamed, 3);
        QCOMPARE(quillet::test::readFile(a), QByteArray("A"));
        QCOMPARE(quillet::test::readFile(b), QByteArray("B"));

        last = planUndoOfLastRun(m_journals);
        QVERIFY(last.plan);
        QCOMPARE(runUndo(m_journals, *last.plan).renamed, 3);
        QCOMPARE(quillet::test::readFile(a), QByteArray("B"));
        QCOMPARE(quillet::test::readFile(b), QByteArray("A"));
        QCOMPARE(fileNames(), (QStringList{u"a.txt"_s, u"b.txt"_s}));
    }

    void damagedJournalIsReportedNotReplayed_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("trusted");
        QTest::newRow("byte flipped in a path") << u"flip-path"_s << false;
        QTest::newRow("byte flipped in a checksum") << u"flip-crc"_s << false;
        QTest::newRow("byte flipped in the header") << u"flip-header"_s << false;
        QTest::newRow("line break put into a record") << u"break"_s << false;
        QTest::newRow("outcome record removed") << u"drop-outcome"_s << false;
        QTest::newRow("not a journal") << u"garbage"_s << false;
        // A record torn at the end is what a stop while writing leaves: the rename it would
        // have confirmed is answered by the disk.
        QTest::newRow("last record torn") << u"tear"_s << true;
    }

    void damagedJournalIsReportedNotReplayed()
    {
        QFETCH(QString, change);
        QFETCH(bool, trusted);
        const QString a = quillet::test::writeFile(file(u"a.txt"_s), "A");
        const QString b = quillet::test::writeFile(file(u"b.txt"_s), "B");
        QCOMPARE(journaledRun(m_journals, {a, b}, {file(u"x.txt"_s), file(u"y.txt"_s)}).renamed, 2);
        const QString path = journalFiles(m_journals).constLast();
        QByteArray bytes = quillet::test::readFile(path);
        const qsizetype attempt = bytes.indexOf("\nA\t");
        const qsizetype outcome = bytes.indexOf("\nR\t");
        QVERIFY(attempt > 0 && outcome > attempt);
        if (change == u"flip-path")
            bytes[attempt + 6] = char(bytes[attempt + 6] ^ 0x01);
        else if (change == u"flip-crc")
            bytes[outcome - 2] = char(bytes[outcome - 2] ^ 0x01);
        else if (change == u"flip-header")
            bytes[3] = char(bytes[3] ^ 0x20);
        else if (change == u"break")
            bytes[attempt + 10] = '\n';
        else if (change == u"drop-outcome")
            bytes.remove(outcome + 1, bytes.indexOf('\n', outcome + 1) - outcome);
        else if (change == u"garbage")
            bytes = "not\na\njournal\n";
        else if (change == u"tear")
            bytes.chop(5);
        quillet::test::writeFile(path, bytes);

        const JournalRead read = readJournal(path);
        QCOMPARE(bool(read.contents), trusted);
        const LastRunUndo last = planUndoOfLastRun(m_journals);
        if (!trusted) {
            QVERIFY(read.damage.contains(QDir::toNativeSeparators(path)));
            QVERIFY(!last.plan);
            QVERIFY(last.message.startsWith(u"リネームの記録が壊れている"_s));
            QVERIFY(last.message.contains(read.damage));
            QCOMPARE(fileNames(), (QStringList{u"x.txt"_s, u"y.txt"_s}));
            return;
        }
        QCOMPARE(read.contents->entries.last().state, JournalEntry::State::Unknown);
        QVERIFY(last.plan);
        QCOMPARE(last.plan->steps.size(), 2);
    }

    void journalIsReadableByItsOwnerOnly_data()
    {
        QTest::addColumn<bool>("folderExists");
        QTest::newRow("folder made by the journal") << false;
        QTest::newRow("folder open to others before") << true;
    }

    void journalIsReadableByItsOwnerOnly()
    {
        QFETCH(bool, folderExists);
        if (folderExists) {
            QVERIFY(QDir().mkpath(m_journals));
            QVERIFY(::chmod(QFile::encodeName(m_journals).constData(), 0755) == 0);
        }
        const QString a = quillet::test::writeFile(file(u"a.txt"_s), "A");
        QCOMPARE(journaledRun(m_journals, {a}, {file(u"b.txt"_s)}).renamed, 1);
        const QStringList journals = journalFiles(m_journals);
        QCOMPARE(journals.size(), 1);
        QCOMPARE(modeOf(journals.first()), mode_t(0600));
        QCOMPARE(modeOf(m_journals), mode_t(0700));
    }

    void onlyTheLastRunsAreKept()
    {
        quillet::test::writeFile(file(u"n0"_s), "N");
        const int runs = kKeptRuns + 5;
        for (int i = 0; i < runs; ++i) {
            QCOMPARE(journaledRun(m_journals, {file(u"n%1"_s.arg(i))}, {file(u"n%1"_s.arg(i + 1))})
                         .renamed,
                     1);
        }
        const QStringList journals = journalFiles(m_journals);
        QCOMPARE(journals.size(), kKeptRuns);
        const JournalRead oldest = readJournal(journals.first());
        QVERIFY(oldest.contents);
        QCOMPARE(oldest.contents->entries.first().from, file(u"n%1"_s.arg(runs - kKeptRuns)));
        const JournalRead newest = readJournal(journals.last());
        QCOMPARE(newest.contents->entries.first().to, file(u"n%1"_s.arg(runs)));
    }

    // A run in which nothing was renamed leaves no journal, so the run before it stays the one
    // that the undo takes back.
    void runThatRenamedNothingLeavesNoJournal()
    {
        const QString a = quillet::test::writeFile(file(u"a.txt"_s), "A");
        QCOMPARE(journaledRun(m_journals, {a}, {file(u"b.txt"_s)}).renamed, 1);
        quillet::test::writeFile(file(u"c.txt"_s), "C");
        const RenameSummary refused =
            journaledRun(m_journals, {file(u"c.txt"_s), file(u"gone.txt"_s)},
                         {file(u"b.txt"_s), file(u"d.txt"_s)});
        QCOMPARE(refused.renamed, 0);
        QCOMPARE(journalFiles(m_journals).size(), 1);
        const LastRunUndo last = planUndoOfLastRun(m_journals);
        QVERIFY(last.plan);
        QCOMPARE(last.plan->sources(), QStringList{file(u"b.txt"_s)});
    }

    // The journal is a safety net, not a gate: a journal that cannot be written leaves the
    // renames to go on and says why it is missing.
    void unwritableJournalDoesNotStopTheRun()
    {
        quillet::test::writeFile(m_journals, "a file where the folder should be");
        const QString a = quillet::test::writeFile(file(u"a.txt"_s), "A");
        RenameJournal journal(m_journals, RunKind::Rename);
        const RenameSummary summary =
            RunRename({a}, {file(u"b.txt"_s)},
                      quietOperations(journaled(journal, renameWithoutReplacing)), u'/');
        journal.finish();
        QCOMPARE(summary.renamed, 1);
        QVERIFY(journal.error().contains(m_journals));
        QCOMPARE(fileNames(), QStringList{u"b.txt"_s});
    }

    void noJournalMeansNothingToUndo()
    {
        const LastRunUndo last = planUndoOfLastRun(m_journals);
        QVERIFY(!last.plan);
        QCOMPARE(last.message, u"元に戻せるリネームがありません。"_s);
    }

    // The plan from recorded entries against a disk given as a table of paths and items.
    void planFromRecordedEntries_data()
    {
        using State = JournalEntry::State;
        QTest::addColumn<QList<JournalEntry>>("entries");
        QTest::addColumn<QStringList>("disk");  // path=inode
        QTest::addColumn<QStringList>("steps"); // from>to
        QTest::addColumn<QStringList>("problems");

        const auto entry = [](const char* from, const char* to, State state, quint64 inode,
                              bool known = true) {
            JournalEntry e;
            e.from = QString::fromLatin1(from);
            e.to = QString::fromLatin1(to);
            e.state = state;
            if (known)
                e.before = id(inode);
            if (state == State::Renamed && known)
                e.after = id(inode);
            return e;
        };
        QTest::newRow("renamed and still there")
            << QList{entry("a", "b", State::Renamed, 1)} << QStringList{u"b=1"_s}
            << QStringList{u"b>a"_s} << QStringList{};
        QTest::newRow("renamed, then moved away")
            << QList{entry("a", "b", State::Renamed, 1)} << QStringList{} << QStringList{}
            << QStringList{u"b"_s};
        QTest::newRow("renamed, then replaced")
            << QList{entry("a", "b", State::Renamed, 1)} << QStringList{u"b=2"_s} << QStringList{}
            << QStringList{u"b"_s};
        QTest::newRow("refused attempt")
            << QList{entry("a", "b", State::NotRenamed, 1)} << QStringList{u"a=1"_s, u"b=2"_s}
            << QStringList{} << QStringList{};
        QTest::newRow("stopped after the rename")
            << QList{entry("a", "b", State::Unknown, 1)} << QStringList{u"b=1"_s}
            << QStringList{u"b>a"_s} << QStringList{};
        QTest::newRow("stopped before the rename")
            << QList{entry("a", "b", State::Unknown, 1)} << QStringList{u"a=1"_s, u"b=2"_s}
            << QStringList{} << QStringList{};
        QTest::newRow("stopped, item at neither path")
            << QList{entry("a", "b", State::Unknown, 1)} << QStringList{} << QStringList{}
            << QStringList{u"b"_s};
        QTest::newRow("stopped, nothing known, old path empty")
            << QList{entry("a", "b", State::Unknown, 0, false)} << QStringList{u"b=7"_s}
            << QStringList{u"b>a"_s} << QStringList{};
        QTest::newRow("stopped, nothing known, old path taken")
            << QList{entry("a", "b", State::Unknown, 0, false)} << QStringList{u"a=7"_s, u"b=8"_s}
            << QStringList{} << QStringList{};
        QTest::newRow("chain through a freed name")
            << QList{entry("a", "t", State::Renamed, 1), entry("b", "a", State::Renamed, 2),
                     entry("t", "b", State::Renamed, 1)}
            << QStringList{u"a=2"_s, u"b=1"_s} << QStringList{u"b>t"_s, u"a>b"_s, u"t>a"_s}
            << QStringList{};
        QTest::newRow("one name renamed twice, older one moved away")
            << QList{entry("a", "t", State::Renamed, 1), entry("t", "x", State::Renamed, 1),
                     entry("c", "t", State::Renamed, 3)}
            << QStringList{u"t=3"_s} << QStringList{u"t>c"_s} << QStringList{u"x"_s, u"t"_s};
    }

    void planFromRecordedEntries()
    {
        QFETCH(QList<JournalEntry>, entries);
        QFETCH(QStringList, disk);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, problems);
        QHash<QString, ItemIdentity> items;
        for (const QString& item : disk)
            items.insert(item.section(u'=', 0, 0), id(item.section(u'=', 1).toULongLong()));
        const IdentityLookup lookup = [&items](const QString& path) {
            return items.contains(path) ? std::optional(items.value(path)) : std::nullopt;
        };
        const UndoPlan plan = planUndo({u"j"_s, RunKind::Rename, entries}, lookup);
        QStringList planned;
        for (const UndoStep& step : plan.steps)
            planned.append(step.from + u'>' + step.to);
        QCOMPARE(planned, steps);
        QStringList reported;
        for (const UndoProblem& problem : plan.problems)
            reported.append(problem.path);
        QCOMPARE(reported, problems);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 7 && args.at(1) == u"--killed-run")
        killedRun(args.mid(2));
    TestRenameJournal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_renamejournal.moc"
