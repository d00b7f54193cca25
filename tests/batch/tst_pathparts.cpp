#include "batch/pathparts.h"

#include <QTest>

using namespace quillet::batch;
using namespace Qt::Literals::StringLiterals;

class TestPathParts : public QObject {
    Q_OBJECT

private slots:
    void parts_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("baseName");
        QTest::addColumn<QString>("extension");
        const QChar win = u'\\';
        const QChar posix = u'/';
        QTest::newRow("windows, two dots")
            << u"C:\\films\\trip.day1.avi"_s << win << u"trip.day1.avi"_s << u"C:\\films"_s
            << u"trip.day1"_s << u"avi"_s;
        QTest::newRow("posix, two dots")
            << u"/home/u/trip.day1.avi"_s << posix << u"trip.day1.avi"_s << u"/home/u"_s
            << u"trip.day1"_s << u"avi"_s;
        QTest::newRow("drive root")
            << u"C:\\a.txt"_s << win << u"a.txt"_s << u"C:"_s << u"a"_s << u"txt"_s;
        QTest::newRow("posix root")
            << u"/a.txt"_s << posix << u"a.txt"_s << QString() << u"a"_s << u"txt"_s;
        QTest::newRow("no dot") << u"C:\\films\\notes"_s << win << u"notes"_s << u"C:\\films"_s
                                << u"notes"_s << QString();
        QTest::newRow("dot file has an empty base name")
            << u"/home/u/.profile"_s << posix << u".profile"_s << u"/home/u"_s << QString()
            << u"profile"_s;
        QTest::newRow("trailing dot")
            << u"C:\\d\\notes."_s << win << u"notes."_s << u"C:\\d"_s << u"notes"_s << QString();
        QTest::newRow("extension comes from a dotted folder")
            << u"C:\\my.dir\\notes"_s << win << u"notes"_s << u"C:\\my.dir"_s << u"notes"_s
            << u"dir\\notes"_s;
        QTest::newRow("ends with separator")
            << u"C:\\films\\"_s << win << QString() << u"C:\\films"_s << QString() << QString();
        QTest::newRow("no separator")
            << u"name.txt"_s << win << u"name.txt"_s << QString() << u"name"_s << u"txt"_s;
        QTest::newRow("backslash is a plain character on posix")
            << u"/d/a\\b.txt"_s << posix << u"a\\b.txt"_s << u"/d"_s << u"a\\b"_s << u"txt"_s;
        QTest::newRow("empty") << QString() << posix << QString() << QString() << QString()
                               << QString();
    }
    void parts()
    {
        QFETCH(QString, path);
        QFETCH(QChar, separator);
        QFETCH(QString, fileName);
        QFETCH(QString, folder);
        QFETCH(QString, baseName);
        QFETCH(QString, extension);
        QCOMPARE(FileNamePart(path, separator), fileName);
        QCOMPARE(FolderPart(path, separator), folder);
        QCOMPARE(BaseName(path, separator), baseName);
        QCOMPARE(ExtensionPart(path), extension);
    }

    void stripExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stripped");
        QTest::newRow("no dot") << u"abc"_s << u"abc"_s;
        QTest::newRow("last dot only") << u"a.b.c"_s << u"a.b"_s;
        QTest::newRow("only a dot") << u"."_s << QString();
        QTest::newRow("japanese") << u"映画.第1話.mkv"_s << u"映画.第1話"_s;
    }
    void stripExtension()
    {
        QFETCH(QString, name);
        QFETCH(QString, stripped);
        QCOMPARE(StripExtension(name), stripped);
    }
};

QTEST_GUILESS_MAIN(TestPathParts)
#include "tst_pathparts.moc"
