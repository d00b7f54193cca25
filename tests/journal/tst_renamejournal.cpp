// The rename journal on real files in temporary folders: what the plan holds, what is forced
// before a rename, which journals are trusted, and the undo plan the journal gives.
#include "batch/nativepath.h"
#include "journal/journalfolder.h"
#include "journal/journalreader.h"
#include "journal/journalrecords.h"
#include "journal/renamejournal.h"
#include "journal/undoplan.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quillet::journal;
using namespace Qt::Literals::StringLiterals;
using quillet::batch::nativeBytesFromPath;
using quillet::batch::pathFromNativeBytes;

Q_DECLARE_METATYPE(JournalEntry)

namespace {

mode_t modeOf(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

ItemIdentity id(quint64 inode, ItemIdentity::Type type = ItemIdentity::Type::File)
{
    ItemIdentity identity;
    identity.type = type;
    identity.device = 1;
    identity.inode = inode;
    identity.size = 10;
    identity.modifiedNs = 100;
    return identity;
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

    // Renames each pair through a journal the way a run does: plan, then rename, outcome.
    QString journaledRun(const QStringList& sources, const QStringList& targets)
    {
        RenameJournal journal(m_journals, RunKind::Rename);
        if (journal.writePlan(sources, targets))
            return {};
        for (qsizetype i = 0; i < sources.size(); ++i) {
            const std::optional<qsizetype> entry = journal.entryOf(sources[i]);
            if (!entry)
                continue;
            journal.recordOutcome(*entry, QFile::rename(sources[i], targets[i]));
        }
        journal.finish();
        return journal.path();
    }

private slots:
    void init()
    {
        ++m_case;
        m_journals = m_root.filePath(u"journal%1"_s.arg(m_case));
        m_files = m_root.filePath(u"files%1"_s.arg(m_case));
        QVERIFY(QDir().mkpath(m_files));
    }

    // The plan is on the disk before the first rename, with the exact bytes of both paths and
    // the identity of the item; a new path known only during the run is there before its rename.
    void planAndLateTargetsAreOnDiskBeforeTheRenames()
    {
        const QString plain = quillet::test::writeFile(file(u"a.txt"_s), "A");
        const QByteArray sjisBytes = QFile::encodeName(m_files) + "/\x82\xa0.txt";
        const int fd = ::open(sjisBytes.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        const QString shiftJis = pathFromNativeBytes(sjisBytes);
        const QStringList sources{plain, shiftJis, file(u"gone.txt"_s)};
        const QStringList targets{file(u"b.txt"_s), file(u"c.txt"_s), file(u"d.txt"_s)};

        RenameJournal journal(m_journals, RunKind::Rename);
        QVERIFY(!journal.writePlan(sources, targets));
        JournalRead read = readJournal(journal.path());
        QVERIFY2(read.contents, qPrintable(read.damage));
        // Nothing is at the third old path: it is not planned, nor can it be renamed.
        QCOMPARE(read.contents->entries.size(), 2);
        QCOMPARE(nativeBytesFromPath(read.contents->entries[1].from), sjisBytes);
        QCOMPARE(read.contents->entries[0].identity, *identityOf(plain));
        QVERIFY(!journal.entryOf(file(u"gone.txt"_s)));

        QCOMPARE(journal.entryOf(shiftJis), 1);
        QVERIFY(journal.recordTarget(1, file(u"chosen.txt"_s)));
        read = readJournal(journal.path());
        QCOMPARE(read.contents->entries[1].to, file(u"chosen.txt"_s));
        QCOMPARE(read.contents->entries[1].state, JournalEntry::State::Unknown);
        journal.recordOutcome(1, true);
        journal.finish();
        read = readJournal(journal.path());
        QVERIFY(read.contents->ended);
        QCOMPARE(read.contents->entries[1].state, JournalEntry::State::Renamed);
        // Ended: an entry without an outcome was never renamed.
        QCOMPARE(read.contents->entries[0].state, JournalEntry::State::NotRenamed);
        QCOMPARE(modeOf(journal.path()), mode_t(0600));
        QCOMPARE(modeOf(m_journals), mode_t(0700));
        // QTemporaryDir cannot remove a name that is not UTF-8.
        QCOMPARE(::unlink(sjisBytes.constData()), 0);
    }

    void onlyTheLastRunsAreKept()
    {
        quillet::test::writeFile(file(u"n0"_s), "N");
        const int runs = kKeptRuns + 5;
        for (int i = 0; i < runs; ++i)
            QVERIFY(!journaledRun({file(u"n%1"_s.arg(i))}, {file(u"n%1"_s.arg(i + 1))}).isEmpty());
        const QStringList journals = journalFiles(m_journals);
        QCOMPARE(journals.size(), kKeptRuns);
        const JournalRead newest = readJournal(journals.last());
        QVERIFY(newest.contents);
        QCOMPARE(newest.contents->entries.first().to, file(u"n%1"_s.arg(runs)));
        const JournalRead oldest = readJournal(journals.first());
        QCOMPARE(oldest.contents->entries.first().from, file(u"n%1"_s.arg(runs - kKeptRuns)));
    }

    // Each journal that is not the user's own plain file, or whose lines name what no run of
    // ours writes, is reported by name; none is replayed, and none makes the program wait.
    void untrustedJournalIsReportedNeverReplayed_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("said"); // a part of the message

        QTest::newRow("journal folder is a link") << u"folder-link"_s << u"リンク"_s;
        QTest::newRow("journal folder of another user") << u"folder-owner"_s << u"別のユーザー"_s;
        QTest::newRow("newest journal of another user") << u"file-owner"_s << u"別のユーザー"_s;
        QTest::newRow("newest journal is a pipe") << u"fifo"_s << u"通常のファイル"_s;
        QTest::newRow("newest journal links to /dev/zero") << u"devzero"_s << u"リンク"_s;
        QTest::newRow("newest journal is empty") << u"empty"_s << u"空です"_s;
        QTest::newRow("newest journal is junk") << u"junk"_s << u"壊れています"_s;
        QTest::newRow("byte flipped in a path") << u"flip"_s << u"壊れています"_s;
        QTest::newRow("relative path") << u"relative"_s << u"壊れています"_s;
        QTest::newRow("path with ..") << u"dotdot"_s << u"壊れています"_s;
        QTest::newRow("identity missing") << u"no-identity"_s << u"壊れています"_s;
        QTest::newRow("outcome for an entry never planned") << u"unplanned"_s << u"壊れています"_s;
        QTest::newRow("outcome before its plan line") << u"outcome-first"_s << u"壊れています"_s;
        QTest::newRow("more plan lines than the run's entries")
            << u"overplanned"_s << u"壊れています"_s;
        QTest::newRow("larger than its run could write") << u"huge"_s << u"大きさ"_s;
    }

    void untrustedJournalIsReportedNeverReplayed()
    {
        QFETCH(QString, change);
        QFETCH(QString, said);
        const bool root = ::geteuid() == 0;
        if ((change == u"folder-owner" || change == u"file-owner") && !root)
            QSKIP("giving a file to another user takes root");

        const QString a = quillet::test::writeFile(file(u"a.txt"_s), "A");
        const QString older = journaledRun({a}, {file(u"b.txt"_s)});
        QVERIFY(!older.isEmpty());
        const QString c = quillet::test::writeFile(file(u"c.txt"_s), "C");
        const QString path = journaledRun({c}, {file(u"d.txt"_s)});
        QVERIFY(!path.isEmpty() && path != older);
        QByteArray bytes = quillet::test::readFile(path);
        const QByteArray pathBytes = QFile::encodeName(path);
        const QByteArray folderBytes = QFile::encodeName(m_journals);
        const auto rewrite = [&](const QByteArray& content) {
            QFile::remove(path);
            quillet::test::writeFile(path, content);
        };

        QString shownPath = QDir::toNativeSeparators(path);
        if (change == u"folder-link") {
            const QString real = m_root.filePath(u"elsewhere%1"_s.arg(m_case));
            QVERIFY(QDir().rename(m_journals, real));
            QVERIFY(QFile::link(real, m_journals));
            shownPath = QDir::toNativeSeparators(m_journals);
        } else if (change == u"folder-owner") {
            QVERIFY(::chown(folderBytes.constData(), 65534, 65534) == 0);
            shownPath = QDir::toNativeSeparators(m_journals);
        } else if (change == u"file-owner") {
            QVERIFY(::chown(pathBytes.constData(), 65534, 65534) == 0);
        } else if (change == u"fifo") {
            QFile::remove(path);
            QVERIFY(::mkfifo(pathBytes.constData(), 0600) == 0);
        } else if (change == u"devzero") {
            QFile::remove(path);
            QVERIFY(QFile::link(u"/dev/zero"_s, path));
        } else if (change == u"empty") {
            rewrite({});
        } else if (change == u"junk") {
            rewrite("not\na\njournal\n");
        } else if (change == u"flip") {
            const qsizetype plan = bytes.indexOf("\nP\t");
            bytes[plan + 8] = char(bytes[plan + 8] ^ 0x01);
            rewrite(bytes);
        } else if (change == u"huge") {
            bytes.append(QByteArray(200 * 1024, 'x'));
            rewrite(bytes);
        } else {
            // Lines with valid check sums that the journal's own writer never makes.
            const QByteArray header = bytes.left(bytes.indexOf('\n') + 1);
            const auto signedLine = [](const QByteArray& payload) {
                return records::line(payload);
            };
            const QByteArray base64A = QFile::encodeName(file(u"d.txt"_s)).toBase64();
            const QByteArray base64B = QFile::encodeName(c).toBase64();
            const QByteArray identity = "f,1,2,3,4,5";
            QByteArray plan;
            if (change == u"relative")
                plan = signedLine("P\t0\t" + QByteArray("d.txt").toBase64() + '\t' + base64B + '\t'
                                  + identity);
            else if (change == u"dotdot")
                plan = signedLine("P\t0\t" + base64A + '\t'
                                  + QFile::encodeName(m_files + u"/../c.txt"_s).toBase64() + '\t'
                                  + identity);
            else if (change == u"no-identity")
                plan = signedLine("P\t0\t" + base64A + '\t' + base64B + "\t-");
            else if (change == u"unplanned")
                plan = signedLine("P\t0\t" + base64A + '\t' + base64B + '\t' + identity)
                       + signedLine("R\t5");
            else if (change == u"overplanned")
                plan = signedLine("P\t0\t" + base64A + '\t' + base64B + '\t' + identity)
                       + signedLine("P\t1\t" + base64B + '\t' + base64A + '\t' + identity);
            if (change == u"outcome-first") {
                // A run of two entries whose second outcome comes before its plan line.
                const QByteArray twoEntries = signedLine(
                    "QUILLET-JOURNAL\t3\trename\t"
                    + QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1()
                    + "\t2\t-");
                rewrite(twoEntries
                        + signedLine("P\t0\t" + base64A + '\t' + base64B + '\t' + identity)
                        + signedLine("R\t1")
                        + signedLine("P\t1\t" + base64B + '\t' + base64A + '\t' + identity));
            } else {
                rewrite(header + plan);
            }
        }

        const JournalRead read = readJournal(path);
        const LastRunUndo last = planUndoOfLastRun(m_journals);
        QVERIFY(!last.plan);
        QVERIFY2(last.message.contains(shownPath), qPrintable(last.message));
        QVERIFY2(last.message.contains(said), qPrintable(last.message));
        if (change != u"folder-link" && change != u"folder-owner") {
            QVERIFY(!read.contents);
            QVERIFY(read.damage.contains(said));
        }
        // Nothing was renamed back, and the older run was never offered in its place.
        QVERIFY(QFileInfo::exists(file(u"b.txt"_s)));
        QVERIFY(QFileInfo::exists(file(u"d.txt"_s)) || change == u"dotdot");
    }

    // A name that only looks like a journal's never hides the later ones.
    void journalsSortByTheirStartNotByTheLengthOfANumber()
    {
        quillet::test::writeFile(file(u"a"_s), "A");
        const QString first = journaledRun({file(u"a"_s)}, {file(u"b"_s)});
        quillet::test::writeFile(m_journals + u"/run-9999999999.journal"_s, "old style");
        quillet::test::writeFile(m_journals + u"/notes.txt"_s, "mine");
        const QString second = journaledRun({file(u"b"_s)}, {file(u"c"_s)});
        QCOMPARE(journalFiles(m_journals), (QStringList{first, second}));
        QVERIFY(isJournalName(u"run-20261207-210455123-01.journal"));
        QVERIFY(!isJournalName(u"run-2026120-7210455123-01.journal"));
        QVERIFY(!isJournalName(u"run-9999999999.journal"));
    }

    // The plan from journal entries against a disk given as a table of paths and items.
    void planFromEntries_data()
    {
        using State = JournalEntry::State;
        QTest::addColumn<QList<JournalEntry>>("entries");
        QTest::addColumn<QStringList>("disk");  // path=inode, a trailing / for a folder
        QTest::addColumn<QStringList>("steps"); // from>to
        QTest::addColumn<QStringList>("problems");

        const auto entry = [](const char* from, const char* to, State state, quint64 inode,
                              const char* helper = "") {
            JournalEntry e;
            e.from = QString::fromLatin1(from);
            e.to = QString::fromLatin1(to);
            e.state = state;
            e.identity = id(inode);
            e.helper = QString::fromLatin1(helper);
            return e;
        };
        QTest::newRow("renamed and still there")
            << QList{entry("/a", "/b", State::Renamed, 1)} << QStringList{u"/b=1"_s}
            << QStringList{u"/b>/a"_s} << QStringList{};
        QTest::newRow("renamed, then moved away")
            << QList{entry("/a", "/b", State::Renamed, 1)} << QStringList{} << QStringList{}
            << QStringList{u"/b"_s};
        QTest::newRow("renamed, then replaced")
            << QList{entry("/a", "/b", State::Renamed, 1)} << QStringList{u"/b=2"_s}
            << QStringList{} << QStringList{u"/b"_s};
        QTest::newRow("already taken back by an undo that was stopped")
            << QList{entry("/a", "/b", State::Renamed, 1), entry("/c", "/d", State::Renamed, 3)}
            << QStringList{u"/b=1"_s, u"/c=3"_s} << QStringList{u"/b>/a"_s} << QStringList{};
        QTest::newRow("not renamed")
            << QList{entry("/a", "/b", State::NotRenamed, 1)} << QStringList{u"/a=1"_s, u"/b=2"_s}
            << QStringList{} << QStringList{};
        QTest::newRow("no outcome, item at the new path")
            << QList{entry("/a", "/b", State::Unknown, 1)} << QStringList{u"/b=1"_s}
            << QStringList{u"/b>/a"_s} << QStringList{};
        QTest::newRow("no outcome, item at the old path")
            << QList{entry("/a", "/b", State::Unknown, 1)} << QStringList{u"/a=1"_s, u"/b=2"_s}
            << QStringList{} << QStringList{};
        QTest::newRow("no outcome, item under its temporary name")
            << QList{entry("/a", "/A", State::Unknown, 1, "/.quillet-x")}
            << QStringList{u"/.quillet-x=1"_s} << QStringList{u"/.quillet-x>/a"_s} << QStringList{};
        QTest::newRow("no outcome, the reservation of the new name left")
            << QList{entry("/a", "/b", State::Unknown, 1, "/b")}
            << QStringList{u"/a=1"_s, u"/b=9"_s} << QStringList{} << QStringList{u"/b"_s};
        QTest::newRow("chain through a freed name")
            << QList{entry("/a", "/t", State::Renamed, 1), entry("/b", "/a", State::Renamed, 2),
                     entry("/t", "/b", State::Renamed, 1)}
            << QStringList{u"/a=2"_s, u"/b=1"_s} << QStringList{u"/b>/t"_s, u"/a>/b"_s, u"/t>/a"_s}
            << QStringList{};
        QTest::newRow("a file, then its folder")
            << QList{entry("/al/t", "/al/u", State::Renamed, 1),
                     entry("/al", "/bl", State::Renamed, 2)}
            << QStringList{u"/bl/=2"_s, u"/bl/u=1"_s} << QStringList{u"/bl>/al"_s, u"/al/u>/al/t"_s}
            << QStringList{};
    }

    void planFromEntries()
    {
        QFETCH(QList<JournalEntry>, entries);
        QFETCH(QStringList, disk);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, problems);
        QHash<QString, ItemIdentity> items;
        for (const QString& item : disk) {
            QString path = item.section(u'=', 0, 0);
            const bool folder = path.endsWith(u'/');
            if (folder)
                path.chop(1);
            items.insert(path, id(item.section(u'=', 1).toULongLong(),
                                  folder ? ItemIdentity::Type::Folder : ItemIdentity::Type::File));
        }
        for (JournalEntry& entry : entries) {
            if (entry.from == u"/al")
                entry.identity.type = ItemIdentity::Type::Folder;
        }
        const IdentityLookup lookup = [&items](const QString& path) {
            return items.contains(path) ? std::optional(items.value(path)) : std::nullopt;
        };
        JournalContents contents;
        contents.path = u"/j"_s;
        contents.entries = entries;
        const UndoPlan plan = planUndo(contents, lookup);
        QStringList planned;
        for (const UndoStep& step : plan.steps)
            planned.append(step.from + u'>' + step.to);
        QCOMPARE(planned, steps);
        QStringList reported;
        for (const UndoProblem& problem : plan.problems)
            reported.append(problem.path);
        QCOMPARE(reported, problems);
    }

    // The headline said every entry was moved or replaced, also over an entry whose old place
    // another item had taken, or a reservation left by a stopped run.
    void undoProblemsHeadlineMatchesTheReasons_data()
    {
        QTest::addColumn<QStringList>("reasons");
        QTest::addColumn<QString>("headline");
        const QString moved =
            u"次の%1件は、リネームの後に移動または置き換えられたため、元に戻しません。"_s;
        const QString neutral = u"次の%1件は元に戻しません。"_s;
        QTest::newRow("moved away") << QStringList{kMissingReason.toString()} << moved.arg(1);
        QTest::newRow("replaced") << QStringList{kReplacedReason.toString()} << moved.arg(1);
        QTest::newRow("moved and replaced")
            << QStringList{kMissingReason.toString(), kReplacedReason.toString()} << moved.arg(2);
        QTest::newRow("old place taken")
            << QStringList{kOccupiedReason.toString()} << neutral.arg(1);
        QTest::newRow("reservation left")
            << QStringList{kLeftReservationReason.toString()} << neutral.arg(1);
        QTest::newRow("moved, and another whose old place is taken")
            << QStringList{kMissingReason.toString(), kOccupiedReason.toString()} << neutral.arg(2);
        QTest::newRow("replaced, and a reservation left")
            << QStringList{kReplacedReason.toString(), kLeftReservationReason.toString(),
                           kReplacedReason.toString()}
            << neutral.arg(3);
        QTest::newRow("a later run named")
            << QStringList{u"後の2026/01/02 03:04 のリネームで、別の項目が元の名前になりました"_s}
            << neutral.arg(1);
    }
    void undoProblemsHeadlineMatchesTheReasons()
    {
        QFETCH(QStringList, reasons);
        QFETCH(QString, headline);
        QList<UndoProblem> problems;
        for (qsizetype i = 0; i < reasons.size(); ++i)
            problems.append({u"/new%1"_s.arg(i), u"/old%1"_s.arg(i), reasons[i], QString()});
        const QStringList lines = undoProblemsMessage(problems, u'/').split(u"\r\n"_s);
        QCOMPARE(lines.first(), headline);
        // Each entry still follows with its own reason.
        for (qsizetype i = 0; i < reasons.size(); ++i) {
            const qsizetype at = lines.indexOf(u"/new%1"_s.arg(i));
            QVERIFY(at > 0);
            QCOMPARE(lines.value(at + 1), u"    "_s + reasons[i]);
        }
    }

    // Renaming changes the modification time on some file systems, and the items inside a
    // folder change its own: neither makes an item another one.
    void identityIgnoresModificationTimeWithoutBirthTime()
    {
        ItemIdentity before = id(1);
        ItemIdentity after = before;
        after.modifiedNs += 5;
        QVERIFY(before.sameItem(after));
        after.size += 1;
        QVERIFY(!before.sameItem(after));
        ItemIdentity folder = id(2, ItemIdentity::Type::Folder);
        ItemIdentity changed = folder;
        changed.modifiedNs += 7;
        changed.size += 4096;
        QVERIFY(folder.sameItem(changed));
        ItemIdentity reborn = before;
        before.createdNs = 10;
        reborn.createdNs = 11;
        QVERIFY(!before.sameItem(reborn));
    }
};

QTEST_GUILESS_MAIN(TestRenameJournal)
#include "tst_renamejournal.moc"
