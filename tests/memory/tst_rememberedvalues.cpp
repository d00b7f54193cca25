#include "memory/rememberedvalues.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillet::memory;
using namespace Qt::Literals::StringLiterals;

class TestRememberedValues : public QObject {
    Q_OBJECT

private slots:
    void loading_data() {
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
    void loading() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, values);
        QTemporaryDir dir;
        QFile out(dir.filePath(u"AutoComplete.txt"_s));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
        out.close();
        QCOMPARE(LoadRememberedValues(dir.path() + u'/'), values);
    }

    void missingFileGivesNoValues() {
        QTemporaryDir dir;
        QVERIFY(LoadRememberedValues(dir.path() + u'/').isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRememberedValues)
#include "tst_rememberedvalues.moc"
