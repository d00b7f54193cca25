#include "datafile/datafile.h"

#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillet::datafile;
using namespace Qt::Literals::StringLiterals;

class TestDataFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes)
    {
        return quillet::test::writeFile(m_dir.filePath(name), bytes);
    }

private slots:
    void splitsAtCrLfAndLoneCr_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QString() << QStringList();
        QTest::newRow("one line without end") << QStringLiteral("a") << QStringList{u"a"_s};
        QTest::newRow("final line end makes no extra line")
            << QStringLiteral("a\r\n") << QStringList{u"a"_s};
        QTest::newRow("lone CR ends a line")
            << QStringLiteral("a\rb") << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("lone LF is an ordinary character")
            << QStringLiteral("a\nb\n") << QStringList{u"a\nb\n"_s};
        QTest::newRow("empty lines stay")
            << QStringLiteral("a\r\n\r\nb") << QStringList{u"a"_s, QString(), u"b"_s};
        QTest::newRow("CR then CR LF")
            << QStringLiteral("a\r\r\nb") << QStringList{u"a"_s, QString(), u"b"_s};
        QTest::newRow("only a line end") << QStringLiteral("\r\n") << QStringList{QString()};
    }
    void splitsAtCrLfAndLoneCr()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(splitDataLines(text), lines);
    }

    void decodesByByteOrderMark_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("Windows-31J without mark") << QByteArray("\x82\xa0") << QStringLiteral("あ");
        QTest::newRow("UTF-8 with mark")
            << QByteArray("\xEF\xBB\xBF\xF0\x9F\x98\x80") << QStringLiteral("😀");
        QTest::newRow("mark alone") << QByteArray("\xEF\xBB\xBF") << QString();
    }
    void decodesByByteOrderMark()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeDataFile(bytes), text);
    }

    void firstLineOfFiles()
    {
        QVERIFY(m_dir.isValid());
        QCOMPARE(readFirstLine(write(u"t1.txt"_s, "[*/CRC32/*]\r\nsecond\r\n")), u"[*/CRC32/*]"_s);
        QCOMPARE(readFirstLine(write(u"t2.txt"_s, " spaced \rsecond")), u" spaced "_s);
        QCOMPARE(readFirstLine(write(u"t3.txt"_s, "\x82\xa0")), u"あ"_s);
        QCOMPARE(readFirstLine(write(u"empty.txt"_s, "")), QString());
        QCOMPARE(readFirstLine(m_dir.filePath(u"missing.txt"_s)), QString());
        QVERIFY(QDir(m_dir.path()).mkdir(u"folder.txt"_s));
        QCOMPARE(readFirstLine(m_dir.filePath(u"folder.txt"_s)), QString());
        QVERIFY(!readDataFileLines(m_dir.filePath(u"folder.txt"_s)).has_value());
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
