#include "rename/targets.h"

#include "batch/nativepath.h"

#include <QTest>

using namespace quillet::rename;
using namespace Qt::Literals::StringLiterals;

class TestTargets : public QObject {
    Q_OBJECT

private slots:
    void targets_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("target");
        QTest::newRow("windows") << u"C:\\films\\trip.avi"_s << u"Trip day 1"_s << QChar(u'\\')
                                 << u"C:\\films\\Trip day 1.avi"_s;
        QTest::newRow("posix") << u"/films/trip.avi"_s << u"Trip day 1"_s << QChar(u'/')
                               << u"/films/Trip day 1.avi"_s;
        QTest::newRow("no extension keeps the dot") << u"C:\\films\\notes"_s << u"notes 2004"_s
                                                    << QChar(u'\\') << u"C:\\films\\notes 2004."_s;
        QTest::newRow("empty line") << u"/d/a.txt"_s << QString() << QChar(u'/') << u"/d/.txt"_s;
        QTest::newRow("separator in the line leads into a subfolder")
            << u"/d/a.txt"_s << u"sub/b"_s << QChar(u'/') << u"/d/sub/b.txt"_s;
        QTest::newRow("backslash is a plain character on posix")
            << u"/d/a.txt"_s << u"x\\y"_s << QChar(u'/') << u"/d/x\\y.txt"_s;
        QTest::newRow("tokens stay")
            << u"/d/a.mkv"_s << u"a [*/CRC32/*]"_s << QChar(u'/') << u"/d/a [*/CRC32/*].mkv"_s;
        QTest::newRow("dotted folder gives no extension")
            << u"/v1.0/readme"_s << u"readme"_s << QChar(u'/') << u"/v1.0/readme"_s;
        QTest::newRow("no extension on posix gains no dot")
            << u"/d/photos"_s << u"photos"_s << QChar(u'/') << u"/d/photos"_s;
        QTest::newRow("trailing dot of a name stays")
            << u"/d/notes."_s << u"notes"_s << QChar(u'/') << u"/d/notes."_s;
        QTest::newRow("dot file keeps its name for an empty line")
            << u"/home/u/.profile"_s << QString() << QChar(u'/') << u"/home/u/.profile"_s;
        QTest::newRow("shift-jis name becomes utf-8, folder keeps its bytes")
            << quillet::batch::pathFromNativeBytes("/f[^/®æ.mp4") << u"動画"_s
            << QChar(u'/') << quillet::batch::pathFromNativeBytes("/f[^/") + u"動画.mp4"_s;
    }
    void targets()
    {
        QFETCH(QString, source);
        QFETCH(QString, names);
        QFETCH(QChar, separator);
        QFETCH(QString, target);
        QCOMPARE(BuildTargetList({source}, names, separator), QStringList{target});
    }

    void missingLinesAreEmptyNames()
    {
        const QStringList sources{u"/d/a.avi"_s, u"/d/b.avi"_s, u"/d/c"_s};
        QCOMPARE(BuildTargetList(sources, u"x\r\n"_s, u'/'),
                 (QStringList{u"/d/x.avi"_s, u"/d/.avi"_s, u"/d/"_s}));
    }

    void listing()
    {
        const QStringList sources{u"C:\\films\\trip.avi"_s, u"C:\\films\\notes"_s};
        const QStringList targets{u"C:\\films\\Trip day 1.avi"_s, u"C:\\films\\notes 2004."_s};
        QCOMPARE(FormatConfirmationListing(sources, targets, u'\\'),
                 u"C:\\films\\trip.avi\r\n ↓↓↓ \r\nC:\\films\\Trip day 1.avi\r\n\r\n"
                 u"C:\\films\\notes\r\n ↓↓↓ \r\nC:\\films\\notes 2004.\r\n\r\n"_s);
        QCOMPARE(FormatConfirmationListing({}, {}, u'/'), QString());
        // Names in another encoding are listed as the user reads them.
        const QString sjis = quillet::batch::pathFromNativeBytes("/d/\x93\xAE\x89\xE6.mp4");
        QCOMPARE(FormatConfirmationListing({sjis}, {u"/d/動画.mp4"_s}, u'/'),
                 u"/d/動画.mp4\r\n ↓↓↓ \r\n/d/動画.mp4\r\n\r\n"_s);
    }

    void fileNameStartsOutsideTokens_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("plain") << u"/d/e/f.txt"_s << u"f.txt"_s;
        QTest::newRow("token in the name") << u"/d/a [*/CRC32/*].mkv"_s << u"a [*/CRC32/*].mkv"_s;
        QTest::newRow("two tokens") << u"/d/*/CRC16/*-*/CRC32/*.x"_s << u"*/CRC16/*-*/CRC32/*.x"_s;
        QTest::newRow("broken token is no token") << u"/d/*/CRC3/*.x"_s << u"*.x"_s;
        QTest::newRow("no separator") << u"name"_s << u"name"_s;
    }
    void fileNameStartsOutsideTokens()
    {
        QFETCH(QString, target);
        QFETCH(QString, fileName);
        QCOMPARE(target.mid(fileNameStart(target, u'/')), fileName);
    }
};

QTEST_GUILESS_MAIN(TestTargets)
#include "tst_targets.moc"
