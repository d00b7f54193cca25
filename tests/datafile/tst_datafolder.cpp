#include "datafile/datafolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace quillet::datafile;
using namespace Qt::Literals::StringLiterals;

class TestDataFolder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void choice_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("folder");
        QTest::newRow("writable program folder: portable") << true << u"/opt/q/"_s;
        QTest::newRow("read-only program folder: per user")
            << false << u"/home/u/.config/Quillet/"_s;
    }
    void choice()
    {
        QFETCH(bool, writable);
        QFETCH(QString, folder);
        QCOMPARE(chooseDataFolder(u"/opt/q"_s, writable, u"/home/u/.config/Quillet"_s),
                 QDir::toNativeSeparators(folder));
    }

    void systemFoldersAreNeverDataFolders()
    {
        QVERIFY(!isWritableProgramFolder(u"/usr/bin"_s));
        QVERIFY(!isWritableProgramFolder(u"/usr/lib/quillet/"_s));
        QVERIFY(!isWritableProgramFolder(u"/nonexistent/folder"_s));
        QTemporaryDir dir;
        QVERIFY(isWritableProgramFolder(dir.path()));
    }

    void readOnlyFolderIsNotWritable()
    {
        if (::geteuid() == 0)
            QSKIP("an administrator can write into read-only folders");
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QVERIFY(!isWritableProgramFolder(dir.path()));
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ExeOwner);
    }

    void installedProgramUsesTheCreatedUserFolder()
    {
        const QString userFolder =
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        QDir(userFolder).removeRecursively();
        const QString folder = resolveDataFolder(u"/usr/bin"_s);
        QCOMPARE(folder, QDir::toNativeSeparators(userFolder + u'/'));
        QVERIFY(QFileInfo(folder).isDir());
        QDir(userFolder).removeRecursively();
    }

    void portableProgramUsesItsOwnFolder()
    {
        QTemporaryDir dir;
        QCOMPARE(resolveDataFolder(dir.path()), QDir::toNativeSeparators(dir.path() + u'/'));
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
