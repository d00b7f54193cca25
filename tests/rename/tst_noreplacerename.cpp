#include "fallbackcalls.h"
#include "fatmount.h"
#include "rename/noreplacerename.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quillet::rename;
using quillet::test::readFile;
using quillet::test::writeFile;
using namespace Qt::Literals::StringLiterals;
using Outcome = RenameResult::Outcome;

Q_DECLARE_METATYPE(Outcome)

namespace {

// File systems without RENAME_NOREPLACE and without hard links: the fallback must still never
// replace.
using quillet::test::noLink;
using quillet::test::noRenameNoReplace;

const FileSystemCalls& fallbackOnly()
{
    static const FileSystemCalls calls{noRenameNoReplace, noLink, ::rename,
                                       systemCalls().createExclusive, systemCalls().mkdir};
    return calls;
}

// Another program puts an item into the folder reserved for the new name just before the
// rename over the reservation.
int fillReservationThenRename(const char* from, const char* to)
{
    writeFile(QFile::decodeName(to) + u"/theirs"_s, "theirs");
    return ::rename(from, to);
}

const FileSystemCalls& reservationFilledByAnother()
{
    static const FileSystemCalls calls{noRenameNoReplace, noLink, fillReservationThenRename,
                                       systemCalls().createExclusive, systemCalls().mkdir};
    return calls;
}

} // namespace

class TestNoReplaceRename : public QObject {
    Q_OBJECT

private slots:
    void outcomes_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("free name") << u"a.txt"_s << u"new.txt"_s << Outcome::Done;
        QTest::newRow("existing file is never replaced")
            << u"a.txt"_s << u"b.txt"_s << Outcome::TargetExists;
        QTest::newRow("existing folder") << u"a.txt"_s << u"dir"_s << Outcome::TargetExists;
        QTest::newRow("folder onto a file") << u"dir"_s << u"b.txt"_s << Outcome::TargetExists;
        QTest::newRow("folder renamed") << u"dir"_s << u"dir2"_s << Outcome::Done;
        QTest::newRow("moved into another folder") << u"a.txt"_s << u"dir/a.txt"_s << Outcome::Done;
        QTest::newRow("missing source") << u"gone.txt"_s << u"x.txt"_s << Outcome::Failed;
        QTest::newRow("missing target folder")
            << u"a.txt"_s << u"nowhere/x.txt"_s << Outcome::Failed;
        QTest::newRow("name too long") << u"a.txt"_s << QString(300, u'n') << Outcome::Failed;
        QTest::newRow("other case is another name here")
            << u"a.txt"_s << u"A.txt"_s << Outcome::Done;
        QTest::newRow("hard link of the same file is not replaced")
            << u"a.txt"_s << u"link.txt"_s << Outcome::TargetExists;
    }
    void outcomes()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(Outcome, outcome);
        QTemporaryDir dir;
        writeFile(dir.filePath(u"a.txt"_s), "A");
        writeFile(dir.filePath(u"b.txt"_s), "B");
        QVERIFY(QDir(dir.path()).mkdir(u"dir"_s));
        QCOMPARE(
            ::link(qPrintable(dir.filePath(u"a.txt"_s)), qPrintable(dir.filePath(u"link.txt"_s))),
            0);

        const RenameResult result = renameWithoutReplacing(dir.filePath(from), dir.filePath(to));
        QCOMPARE(result.outcome, outcome);
        QCOMPARE(result.reason.isEmpty(), outcome != Outcome::Failed);
        // Whatever happened, b.txt is untouched and nothing is lost.
        QCOMPARE(readFile(dir.filePath(u"b.txt"_s)), QByteArray("B"));
        if (outcome == Outcome::Done && from == u"a.txt")
            QCOMPARE(readFile(dir.filePath(to)), QByteArray("A"));
        if (outcome != Outcome::Done && from == u"a.txt")
            QCOMPARE(readFile(dir.filePath(u"a.txt"_s)), QByteArray("A"));
    }

    void fallbackNeverReplaces_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("file to a free name") << u"a.txt"_s << u"new.txt"_s << Outcome::Done;
        QTest::newRow("file onto a file") << u"a.txt"_s << u"b.txt"_s << Outcome::TargetExists;
        QTest::newRow("file onto an empty folder")
            << u"a.txt"_s << u"empty"_s << Outcome::TargetExists;
        QTest::newRow("folder onto an empty folder")
            << u"dir"_s << u"empty"_s << Outcome::TargetExists;
        QTest::newRow("folder to a free name") << u"dir"_s << u"dir2"_s << Outcome::Done;
        QTest::newRow("missing target folder leaves no reservation")
            << u"a.txt"_s << u"dir/nowhere/x.txt"_s << Outcome::Failed;
    }
    void fallbackNeverReplaces()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(Outcome, outcome);
        QTemporaryDir dir;
        writeFile(dir.filePath(u"a.txt"_s), "A");
        writeFile(dir.filePath(u"b.txt"_s), "B");
        QVERIFY(QDir(dir.path()).mkpath(u"dir/inner"_s));
        QVERIFY(QDir(dir.path()).mkdir(u"empty"_s));
        const QStringList before =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        const RenameResult result =
            renameThrough(fallbackOnly(), dir.filePath(from), dir.filePath(to));
        QCOMPARE(result.outcome, outcome);
        QCOMPARE(readFile(dir.filePath(u"b.txt"_s)), QByteArray("B"));
        QVERIFY(QFileInfo(dir.filePath(u"empty"_s)).isDir());
        QVERIFY(QDir(dir.filePath(u"empty"_s)).isEmpty());
        if (outcome == Outcome::Done) {
            QVERIFY(!QFileInfo::exists(dir.filePath(from)));
            QVERIFY(QFileInfo::exists(dir.filePath(to)));
        } else {
            QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
            QVERIFY(QDir(dir.filePath(u"dir"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                    == QStringList{u"inner"_s});
        }
    }

    // A missing target folder read "見つかりません" like a missing file, and a folder moved
    // into itself "名前に使えない文字があります".
    void reasonsSayWhatIsWrong_data()
    {
        QTest::addColumn<bool>("fallback");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("reason");
        for (const bool fallback : {false, true}) {
            const QByteArray way = fallback ? " (no atomic rename)" : "";
            QTest::newRow("missing target folder" + way)
                << fallback << u"a.txt"_s << u"nowhere/x.txt"_s
                << u"移動先のフォルダがないか、フォルダではありません"_s;
            QTest::newRow("missing folder of a folder" + way)
                << fallback << u"dir"_s << u"nowhere/dir"_s
                << u"移動先のフォルダがないか、フォルダではありません"_s;
            QTest::newRow("missing source" + way)
                << fallback << u"gone.txt"_s << u"x.txt"_s << u"見つかりません"_s;
            QTest::newRow("folder into itself" + way)
                << fallback << u"dir"_s << u"dir/inner/dir"_s
                << u"フォルダーをそのフォルダー自身の中へは移動できません"_s;
            QTest::newRow("folder into itself through a link" + way)
                << fallback << u"dir"_s << u"via/dir"_s
                << u"フォルダーをそのフォルダー自身の中へは移動できません"_s;
        }
    }
    void reasonsSayWhatIsWrong()
    {
        QFETCH(bool, fallback);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        writeFile(dir.filePath(u"a.txt"_s), "A");
        QVERIFY(QDir(dir.path()).mkpath(u"dir/inner"_s));
        QVERIFY(QFile::link(dir.filePath(u"dir/inner"_s), dir.filePath(u"via"_s)));
        const RenameResult result =
            fallback ? renameThrough(fallbackOnly(), dir.filePath(from), dir.filePath(to))
                     : renameWithoutReplacing(dir.filePath(from), dir.filePath(to));
        QCOMPARE(result.outcome, Outcome::Failed);
        QCOMPARE(result.reason, reason);
        // Nothing was left behind inside the folder: no reservation of the new name.
        QCOMPARE(
            QDir(dir.filePath(u"dir/inner"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList());
    }

    // A folder renamed over its reservation after another program had put an item into it
    // failed with ENOTEMPTY, reported as an error instead of asking for another name.
    void filledReservationIsATakenName()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"ours/mark"_s));
        const RenameResult result = renameThrough(
            reservationFilledByAnother(), dir.filePath(u"ours"_s), dir.filePath(u"target"_s));
        QCOMPARE(result.outcome, Outcome::TargetExists);
        QCOMPARE(readFile(dir.filePath(u"target/theirs"_s)), QByteArray("theirs"));
        QVERIFY(QFileInfo(dir.filePath(u"ours/mark"_s)).isDir());
    }

    // Another program creates the target at the same moment as the fallback renames onto it:
    // exactly one of the two gets the name, and the other's data is never replaced.
    void fallbackRacingAnotherCreator_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("file") << false;
        QTest::newRow("folder") << true;
    }
    void fallbackRacingAnotherCreator()
    {
        QFETCH(bool, folder);
        QTemporaryDir dir;
        const QString source = dir.filePath(u"ours"_s);
        const QString target = dir.filePath(u"target"_s);
        const QByteArray targetBytes = QFile::encodeName(target);
        int ourWins = 0;
        int theirWins = 0;
        for (int round = 0; round < 300; ++round) {
            if (folder) {
                QVERIFY(QDir().mkpath(source + u"/mark"_s));
            } else {
                writeFile(source, "ours");
            }
            std::atomic<bool> ready = false;
            std::atomic<bool> go = false;
            std::atomic<bool> theyCreated = false;
            std::atomic<bool> theyWrote = true;
            // A different head start each round, for either side, so every interleaving comes up.
            const auto spinFor = [](int count) {
                std::atomic<int> spin = 0;
                while (spin.fetch_add(1) < count) {
                }
            };
            const int theirDelay = int(QRandomGenerator::global()->bounded(3000));
            const int ourDelay = int(QRandomGenerator::global()->bounded(3000));
            std::thread other([&] {
                ready = true;
                while (!go.load()) {
                }
                spinFor(theirDelay);
                // The other program: an exclusive create, as careful programs do.
                if (folder) {
                    theyCreated = ::mkdir(targetBytes.constData(), 0700) == 0;
                    if (theyCreated)
                        writeFile(target + u"/theirs"_s, "theirs");
                } else {
                    const int fd =
                        ::open(targetBytes.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
                    if (fd >= 0) {
                        theyCreated = true;
                        theyWrote = ::write(fd, "theirs", 6) == 6;
                        ::close(fd);
                    }
                }
            });
            while (!ready.load()) {
            }
            go = true;
            spinFor(ourDelay);
            const RenameResult result = renameThrough(fallbackOnly(), source, target);
            other.join();
            QVERIFY(theyWrote);
            if (result.outcome == Outcome::Done) {
                ++ourWins;
                QVERIFY(!theyCreated); // their create found the name taken, nothing of theirs lost
                if (folder)
                    QVERIFY(QFileInfo::exists(target + u"/mark"_s));
                else
                    QCOMPARE(readFile(target), QByteArray("ours"));
            } else {
                ++theirWins;
                QCOMPARE(result.outcome, Outcome::TargetExists);
                QVERIFY(theyCreated);
                if (folder) {
                    QCOMPARE(readFile(target + u"/theirs"_s), QByteArray("theirs"));
                    QVERIFY(QFileInfo::exists(source + u"/mark"_s));
                } else {
                    QCOMPARE(readFile(target), QByteArray("theirs"));
                    QCOMPARE(readFile(source), QByteArray("ours"));
                }
            }
            for (const QString& path : {target, source}) {
                const QFileInfo info(path);
                if (info.isDir())
                    QVERIFY(QDir(path).removeRecursively());
                else if (info.exists())
                    QVERIFY(QFile::remove(path));
            }
        }
        qInfo("we got the name %d times, the other program %d times", ourWins, theirWins);
    }

    // The same-item rule for a case-only rename must never cost a name: two names of one
    // file that differ in case (a hard link on a case-sensitive system) both stay.
    void sameItemRuleKeepsBothNames()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(u"a.txt"_s), "A");
        QCOMPARE(::link(qPrintable(dir.filePath(u"a.txt"_s)), qPrintable(dir.filePath(u"A.txt"_s))),
                 0);
        const RenameResult result =
            renameWithoutReplacing(dir.filePath(u"a.txt"_s), dir.filePath(u"A.txt"_s));
        QCOMPARE(result.outcome, Outcome::TargetExists);
        QCOMPARE(readFile(dir.filePath(u"a.txt"_s)), QByteArray("A"));
        QCOMPARE(readFile(dir.filePath(u"A.txt"_s)), QByteArray("A"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    }

    // On a real case-insensitive file system (FAT through FUSE, where the machine has it).
    void caseOnlyRenameOnFat()
    {
        const quillet::test::FatMount fat;
        if (!fat.mounted())
            QSKIP(fat.why());
        const QString& mount = fat.path();

        writeFile(mount + u"/movie.avi"_s, "M");
        writeFile(mount + u"/other.avi"_s, "O");
        QVERIFY(QFile::exists(mount + u"/MOVIE.AVI"_s)); // really case-insensitive
        const RenameResult caseOnly =
            renameWithoutReplacing(mount + u"/movie.avi"_s, mount + u"/Movie.avi"_s);
        QCOMPARE(caseOnly.outcome, Outcome::Done);
        QCOMPARE(QDir(mount).entryList(QDir::Files, QDir::Name),
                 (QStringList{u"Movie.avi"_s, u"other.avi"_s}));
        QCOMPARE(readFile(mount + u"/Movie.avi"_s), QByteArray("M"));
        // Another file whose name differs only in case is a collision, not the same item.
        const RenameResult collision =
            renameWithoutReplacing(mount + u"/Movie.avi"_s, mount + u"/OTHER.avi"_s);
        QCOMPARE(collision.outcome, Outcome::TargetExists);
        QCOMPARE(readFile(mount + u"/other.avi"_s), QByteArray("O"));
        QCOMPARE(readFile(mount + u"/Movie.avi"_s), QByteArray("M"));
    }
};

QTEST_GUILESS_MAIN(TestNoReplaceRename)
#include "tst_noreplacerename.moc"
