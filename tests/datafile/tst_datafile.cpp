#include "datafile/datafile.h"

#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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

    void firstLineEndsAtTheFirstCrEvenFarIntoTheFile()
    {
        // The line is longer than one read, and what follows it is not read as part of it.
        const QByteArray longLine(200 * 1024, 'x');
        const QString path = write(u"long.txt"_s, longLine + "\rsecond" + QByteArray(1000, '\n'));
        QCOMPARE(readFirstLine(path), QString::fromLatin1(longLine));
        QCOMPARE(readFirstLine(write(u"bom.txt"_s, "\xEF\xBB\xBF\xF0\x9F\x98\x80\r\nx")), u"😀"_s);
        QCOMPARE(readFirstLine(write(u"nocr.txt"_s, "only\nline")), u"only\nline"_s);
        QCOMPARE(readFirstLine(write(u"crfirst.txt"_s, "\r\nsecond")), QString());
    }

#ifdef Q_OS_UNIX
    // A pipe without a writer blocked the start-up for ever; a device never ends. Each reads
    // as a missing file, at once (a wrong reader hangs here until the test's time-out).
    void dataFileThatIsNoRegularFileGivesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("pipe") << u"pipe"_s;
        QTest::newRow("link to an endless device") << u"device"_s;
        QTest::newRow("link to a folder") << u"folder"_s;
    }
    void dataFileThatIsNoRegularFileGivesNothing()
    {
        QFETCH(QString, kind);
        const QString path = m_dir.filePath(kind + u"-data.txt"_s);
        QFile::remove(path);
        if (kind == u"pipe"_s)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(QFile::link(kind == u"device"_s ? u"/dev/zero"_s : QDir::tempPath(), path));
        QCOMPARE(readFirstLine(path), QString());
        QVERIFY(!readDataFileLines(path).has_value());
    }

    void linkToARegularFileIsRead()
    {
        const QString target = write(u"target.txt"_s, "linked\r\n");
        const QString link = m_dir.filePath(u"link.txt"_s);
        QVERIFY(QFile::link(target, link));
        QCOMPARE(readFirstLine(link), u"linked"_s);
        QCOMPARE(readDataFileLines(link), std::optional<QStringList>(QStringList{u"linked"_s}));
    }
#endif
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
