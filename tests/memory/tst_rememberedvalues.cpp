#include "memory/rememberedvalues.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillet::memory;
using namespace Qt::Literals::StringLiterals;

class TestRememberedValues : public QObject {
    Q_OBJECT

private slots:
    void loading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("empty lines skipped, duplicates kept")
            << QByteArray("a\r\n\r\na\r\n1\r\n") << QStringList{u"a"_s, u"a"_s, u"1"_s};
        QTest::newRow("LF-only file is one value")
            << QByteArray("a\nb\n") << QStringList{u"a\nb\n"_s};
        QTest::newRow("lone CR ends a value") << QByteArray("a\rb") << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList();
        QTest::newRow("Windows-31J") << QByteArray("\x82\xa0\r\n") << QStringList{u"あ"_s};
        QTest::newRow("UTF-8 with mark")
            << QByteArray("\xEF\xBB\xBF\xF0\x9F\x98\x80\r\n") << QStringList{u"😀"_s};
        QTest::newRow("spaces are part of a value")
            << QByteArray(" x \r\n") << QStringList{u" x "_s};
    }
    void loading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, values);
        QTemporaryDir dir;
        quillet::test::writeFile(dir.filePath(u"AutoComplete.txt"_s), file);
        QCOMPARE(LoadRememberedValues(dir.path() + u'/'), values);
    }

    void savedFilesReadBack_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("no values: one line end") << QStringList() << QByteArray("\r\n");
        QTest::newRow("every line ends with CR LF")
            << QStringList{u"a"_s, u"a"_s, u"1"_s} << QByteArray("a\r\na\r\n1\r\n");
        QTest::newRow("Windows-31J when it can hold everything")
            << QStringList{u"あ"_s, u"～"_s} << QByteArray("\x82\xa0\r\n\x81\x60\r\n");
        QTest::newRow("UTF-8 with a mark when it cannot")
            << QStringList{u"あ"_s, u"😀"_s}
            << QByteArray("\xEF\xBB\xBF\xE3\x81\x82\r\n\xF0\x9F\x98\x80\r\n");
    }
    void savedFilesReadBack()
    {
        QFETCH(QStringList, values);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        QVERIFY(!SaveRememberedValues(folder, values));
        QCOMPARE(quillet::test::readFile(folder + u"AutoComplete.txt"_s), bytes);
        QCOMPARE(LoadRememberedValues(folder), values);
    }

    // A save that cannot be done reports why and destroys nothing.
    void failedSaveReportsAndKeepsWhatIsThere()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"AutoComplete.txt"_s));
        quillet::test::writeFile(dir.filePath(u"AutoComplete.txt/kept"_s));
        const auto error = SaveRememberedValues(dir.path() + u'/', {u"new"_s});
        QVERIFY(error);
        QVERIFY(!error->reason.isEmpty());
        QVERIFY(QFile::exists(dir.filePath(u"AutoComplete.txt/kept"_s)));

        const auto noFolder = SaveRememberedValues(dir.filePath(u"missing/"_s), {u"new"_s});
        QVERIFY(noFolder);
    }

    void missingFileGivesNoValues()
    {
        QTemporaryDir dir;
        QVERIFY(LoadRememberedValues(dir.path() + u'/').isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRememberedValues)
#include "tst_rememberedvalues.moc"
