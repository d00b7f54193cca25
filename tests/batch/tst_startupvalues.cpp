#include "batch/startupvalues.h"

#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillet::batch;
using namespace Qt::Literals::StringLiterals;

class TestStartupValues : public QObject {
    Q_OBJECT

private slots:
    void noDataFilesLeaveEverythingEmpty()
    {
        QTemporaryDir dir;
        const StartupValues values = loadStartupValues(dir.path() + u'/');
        QVERIFY(values.crc16Template.isEmpty());
        QVERIFY(values.crc32Template.isEmpty());
        QVERIFY(values.codecTemplate.isEmpty());
        QCOMPARE(values.checksumBlockFactor, 1);
    }

    void firstLinesAreTheTemplates()
    {
        QTemporaryDir dir;
        const auto write = [&](const QString& name, const QByteArray& bytes) {
            quillet::test::writeFile(dir.filePath(name), bytes);
        };
        write(u"CRC16STR.txt"_s, " [*/CRC16/*]\r\nignored\r\n");
        write(u"CRC32STR.txt"_s, "[*/CRC32/*]\rignored");
        write(u"CodecInfo.txt"_s, "\x81\x40[*/WIDTH/*x*/HEIGHT/*]");
        const StartupValues values = loadStartupValues(dir.path() + u'/');
        QCOMPARE(values.crc16Template, u" [*/CRC16/*]"_s);
        QCOMPARE(values.crc32Template, u"[*/CRC32/*]"_s);
        QCOMPARE(values.codecTemplate, u"　[*/WIDTH/*x*/HEIGHT/*]"_s);
    }

    void folderOrEmptyFileGivesAnEmptyValue()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"CRC16STR.txt"_s));
        quillet::test::writeFile(dir.filePath(u"CRC32STR.txt"_s));
        const StartupValues values = loadStartupValues(dir.path() + u'/');
        QVERIFY(values.crc16Template.isEmpty());
        QVERIFY(values.crc32Template.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStartupValues)
#include "tst_startupvalues.moc"
