#include "rename/noreplacerename.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace quillet::rename;
using quillet::test::readFile;
using quillet::test::writeFile;
using namespace Qt::Literals::StringLiterals;
using Outcome = RenameResult::Outcome;

Q_DECLARE_METATYPE(Outcome)

namespace {

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit
           && process.exitCode() == 0;
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
        const QString mkfs =
            QStandardPaths::findExecutable(u"mkfs.vfat"_s, {u"/usr/sbin"_s, u"/sbin"_s});
        const QString fusefat = QStandardPaths::findExecutable(u"fusefat"_s);
        if (mkfs.isEmpty() || fusefat.isEmpty() || !QFile::exists(u"/dev/fuse"_s))
            QSKIP("no FAT file system can be mounted here");
        QTemporaryDir dir;
        const QString image = dir.filePath(u"fat.img"_s);
        const QString mount = dir.filePath(u"mnt"_s);
        QFile imageFile(image);
        QVERIFY(imageFile.open(QIODevice::WriteOnly) && imageFile.resize(8 << 20));
        imageFile.close();
        QVERIFY(QDir(dir.path()).mkdir(u"mnt"_s));
        if (!run(mkfs, {image}) || !run(fusefat, {u"-o"_s, u"rw+"_s, image, mount}))
            QSKIP("mounting a FAT image failed here");
        const auto unmount = qScopeGuard([&] { run(u"fusermount"_s, {u"-u"_s, mount}); });

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
