// Which CRC-32 a file's name carries.
#include "checksum/namedchecksum.h"

#include <QTest>

using namespace quillet::checksum;
using namespace Qt::Literals::StringLiterals;

class TestNamedChecksum : public QObject {
    Q_OBJECT

private slots:
    void checksumInName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("digits"); // empty: the name carries none
        QTest::addColumn<int>("start");      // of the digits, in the file name

        QTest::newRow("square brackets before the extension")
            << u"/v/Show - 01 [A1B2C3D4].mkv"_s << u"A1B2C3D4"_s << 11;
        QTest::newRow("round brackets, lower case")
            << u"/v/Show (a1b2c3d4).mkv"_s << u"a1b2c3d4"_s << 6;
        QTest::newRow("after the extension") << u"/v/Show.mkv[0F1E2D3C]"_s << u"0F1E2D3C"_s << 9;
        QTest::newRow("at the start") << u"/v/[DEADBEEF] Show.mkv"_s << u"DEADBEEF"_s << 1;
        QTest::newRow("the last of several groups")
            << u"/v/[11111111] Show [22222222] (33333333).mkv"_s << u"33333333"_s << 28;
        QTest::newRow("nine digits are no checksum")
            << u"/v/Show [A1B2C3D4E].mkv"_s << QString() << 0;
        QTest::newRow("seven digits are no checksum")
            << u"/v/Show [A1B2C3D].mkv"_s << QString() << 0;
        QTest::newRow("a resolution is no checksum") << u"/v/Show [1080].mkv"_s << QString() << 0;
        QTest::newRow("a non-hexadecimal letter") << u"/v/Show [A1B2C3DG].mkv"_s << QString() << 0;
        QTest::newRow("brackets of another kind")
            << u"/v/Show {A1B2C3D4} 【A1B2C3D4】.mkv"_s << QString() << 0;
        QTest::newRow("brackets that do not match")
            << u"/v/Show [A1B2C3D4).mkv"_s << QString() << 0;
        QTest::newRow("a group before a longer one still counts")
            << u"/v/[A1B2C3D4] [A1B2C3D4E].mkv"_s << u"A1B2C3D4"_s << 1;
        QTest::newRow("a checksum in a folder is not the file's")
            << u"/v/Show [A1B2C3D4]/ep01.mkv"_s << QString() << 0;
        QTest::newRow("the file's own beside a folder's")
            << u"/v/[11111111]/ep01 [22222222].mkv"_s << u"22222222"_s << 6;
        QTest::newRow("no brackets at all") << u"/v/A1B2C3D4.mkv"_s << QString() << 0;
        QTest::newRow("the Windows separator")
            << u"C:\\v [11111111]\\ep [22222222].mkv"_s << u"22222222"_s << 4;
    }
    void checksumInName()
    {
        QFETCH(QString, path);
        QFETCH(QString, digits);
        QFETCH(int, start);
        const QChar separator = path.startsWith(u"C:"_s) ? u'\\' : u'/';
        const std::optional<NamedChecksum> found =
            quillet::checksum::checksumInName(path, separator);
        QCOMPARE(found.has_value(), !digits.isEmpty());
        if (!found)
            return;
        QCOMPARE(found->digits, digits);
        QCOMPARE(found->start, qsizetype(start));
        QCOMPARE(found->value, digits.toUInt(nullptr, 16));
    }
};

QTEST_GUILESS_MAIN(TestNamedChecksum)
#include "tst_namedchecksum.moc"
