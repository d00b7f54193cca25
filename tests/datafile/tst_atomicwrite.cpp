#include "datafile/atomicwrite.h"
#include "testfiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace quillet::datafile;
using namespace Qt::Literals::StringLiterals;

class TestAtomicWrite : public QObject {
    Q_OBJECT

private slots:
    void replacesTheWholeFileAndLeavesNothingBehind()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"AutoComplete.txt"_s);
        quillet::test::writeFile(path, "old content that is longer");
        QVERIFY(!writeFileAtomically(path, "new"));
        QCOMPARE(quillet::test::readFile(path), QByteArray("new"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"AutoComplete.txt"_s});
    }

    void missingFolderSaysSo()
    {
        QTemporaryDir dir;
        const auto error = writeFileAtomically(dir.filePath(u"gone/AutoComplete.txt"_s), "x");
        QVERIFY(error);
        QCOMPARE(error->reason, u"見つかりません"_s);
    }

    void readOnlyFolderSaysSo()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into any folder");
        QTemporaryDir dir;
        const QString path = dir.filePath(u"AutoComplete.txt"_s);
        quillet::test::writeFile(path, "kept");
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        const auto error = writeFileAtomically(path, "x");
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(error);
        QCOMPARE(error->reason, u"アクセスが拒否されました"_s);
        QCOMPARE(quillet::test::readFile(path), QByteArray("kept"));
    }

    // A full disk used to read "Unknown error"; the old file must survive it untouched.
    void fullDiskSaysSoAndKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString mount = dir.path();
        QProcess mounter;
        mounter.start(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s, u"tmpfs"_s, mount});
        if (::geteuid() != 0 || !mounter.waitForFinished(10000) || mounter.exitCode() != 0)
            QSKIP("no small file system can be mounted here");
        const auto unmount = qScopeGuard([&] { QProcess::execute(u"umount"_s, {mount}); });
        const QString path = mount + u"/AutoComplete.txt"_s;
        quillet::test::writeFile(path, "kept");
        const auto error = writeFileAtomically(path, QByteArray(1 << 20, 'x'));
        QVERIFY(error);
        QCOMPARE(error->reason, u"ディスクの空き容量が足りません"_s);
        QCOMPARE(quillet::test::readFile(path), QByteArray("kept"));
        QCOMPARE(QDir(mount).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"AutoComplete.txt"_s});
    }
};

QTEST_GUILESS_MAIN(TestAtomicWrite)
#include "tst_atomicwrite.moc"
