#include "checksum/crc.h"
#include "crcreference.h"

#include <QTest>

#include <random>
#include <vector>
#include <zlib.h>

using namespace quillet::checksum;
using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(quillet::checksum::ChecksumKind)

class TestCrc : public QObject {
    Q_OBJECT

private slots:
    void checkValues_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("crc16");
        QTest::addColumn<QString>("crc32");
        QTest::newRow("1 to 9") << QByteArray("123456789") << u"6F91"_s << u"CBF43926"_s;
        QTest::newRow("abc") << QByteArray("abc") << u"61DA"_s << u"352441C2"_s;
        QTest::newRow("a") << QByteArray("a") << u"7D08"_s << u"E8B7BE43"_s;
        QTest::newRow("empty") << QByteArray() << u"FFFF"_s << u"00000000"_s;
    }
    void checkValues()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, crc16);
        QFETCH(QString, crc32);
        Crc c16(ChecksumKind::Crc16);
        c16.update(data.constData(), size_t(data.size()));
        Crc c32(ChecksumKind::Crc32);
        c32.update(data.constData(), size_t(data.size()));
        QCOMPARE(c16.text(), crc16);
        QCOMPARE(c32.text(), crc32);
    }

    void textKeepsLeadingZeros()
    {
        // Find a short input whose CRC-16 has a leading zero digit and check the width.
        for (int i = 0; i < 4096; ++i) {
            const QByteArray data = QByteArray::number(i);
            Crc crc(ChecksumKind::Crc16);
            crc.update(data.constData(), size_t(data.size()));
            if (crc.value() < 0x1000) {
                QCOMPARE(crc.text().size(), 4);
                QVERIFY(crc.text().startsWith(u'0'));
                return;
            }
        }
        QFAIL("no input with a leading zero found");
    }

    // Both kernels and the streaming interface against the byte-at-a-time reference and zlib,
    // at many lengths and offsets (alignment), split into uneven pieces.
    void kernelsAgreeWithReferenceAndZlib()
    {
        std::mt19937 random(7);
        std::vector<unsigned char> bytes(70000);
        for (unsigned char& b : bytes)
            b = static_cast<unsigned char>(random());
        const size_t lengths[] = {0,   1,   15,  16,   17,   63,   64,    65,
                                  79,  80,  127, 128,  129,  255,  256,   257,
                                  511, 512, 767, 1000, 4095, 4096, 65536, 69990};
        for (const size_t length : lengths) {
            for (const size_t offset : {0, 1, 5, 8}) {
                const unsigned char* p = bytes.data() + offset;
                const auto zlib = std::uint32_t(crc32(0, p, uInt(length)));
                QCOMPARE(referenceCrc(ChecksumKind::Crc32, p, length), zlib);
                for (const CrcKernel kernel :
                     {CrcKernel::Tables, CrcKernel::Carryless, CrcKernel::WideCarryless,
                      CrcKernel::WidestCarryless}) {
                    QCOMPARE(crcWithKernel(ChecksumKind::Crc32, kernel, p, length), zlib);
                    QCOMPARE(crcWithKernel(ChecksumKind::Crc16, kernel, p, length),
                             referenceCrc(ChecksumKind::Crc16, p, length));
                }
                for (const ChecksumKind kind : {ChecksumKind::Crc16, ChecksumKind::Crc32}) {
                    Crc streamed(kind);
                    size_t done = 0;
                    for (size_t piece = 1; done < length; piece = piece * 3 + 1) {
                        const size_t n = std::min(piece, length - done);
                        streamed.update(p + done, n);
                        done += n;
                    }
                    QCOMPARE(streamed.value(), referenceCrc(kind, p, length));
                }
            }
        }
    }

    void combinedEqualsOnePass_data()
    {
        QTest::addColumn<ChecksumKind>("kind");
        QTest::newRow("CRC-16") << ChecksumKind::Crc16;
        QTest::newRow("CRC-32") << ChecksumKind::Crc32;
    }
    // Two halves summed apart and combined give the checksum of the whole, wherever the split
    // falls: every split of every length up to 200 bytes.
    void combinedEqualsOnePass()
    {
        QFETCH(ChecksumKind, kind);
        std::mt19937 random(11);
        std::vector<unsigned char> bytes(200);
        for (unsigned char& b : bytes)
            b = static_cast<unsigned char>(random());
        for (size_t length = 0; length <= bytes.size(); ++length) {
            const std::uint32_t whole = referenceCrc(kind, bytes.data(), length);
            for (size_t split = 0; split <= length; ++split) {
                const std::uint32_t first = referenceCrc(kind, bytes.data(), split);
                const std::uint32_t second =
                    referenceCrc(kind, bytes.data() + split, length - split);
                QCOMPARE(combineCrc(kind, first, second, length - split), whole);
            }
        }
    }

    void combinedOverLongSecondParts_data()
    {
        QTest::addColumn<ChecksumKind>("kind");
        QTest::addColumn<quint64>("length");
        for (const ChecksumKind kind : {ChecksumKind::Crc16, ChecksumKind::Crc32}) {
            const char* name = kind == ChecksumKind::Crc16 ? "CRC-16" : "CRC-32";
            for (const quint64 length :
                 {quint64(1'000'003), (quint64(1) << 31) + 3, (quint64(1) << 32) + 1,
                  quint64(1'000'000'000'007), (quint64(1) << 62) + 5})
                QTest::addRow("%s, %llu bytes", name, static_cast<unsigned long long>(length))
                    << kind << length;
        }
    }
    // The second part is zeros with a tail, too long to sum in a test: its checksum comes from
    // the slow reference, the combination must match that of the whole by the same reference
    // (and zlib's crc32_combine for CRC-32).
    void combinedOverLongSecondParts()
    {
        QFETCH(ChecksumKind, kind);
        QFETCH(quint64, length);
        const QByteArray head("head bytes");
        const QByteArray tail("xyz");
        const std::uint64_t tailAt = length - std::uint64_t(tail.size());
        const std::uint32_t first = quillet::test::sparseCrc(kind, head.size(), {{0, head}});
        const std::uint32_t second = quillet::test::sparseCrc(kind, length, {{tailAt, tail}});
        const std::uint32_t whole = quillet::test::sparseCrc(
            kind, head.size() + length, {{0, head}, {head.size() + tailAt, tail}});
        QCOMPARE(combineCrc(kind, first, second, length), whole);
        if (kind == ChecksumKind::Crc32 && length <= quint64(std::numeric_limits<z_off64_t>::max()))
            QCOMPARE(std::uint32_t(crc32_combine64(first, second, z_off64_t(length))), whole);
    }
};

QTEST_GUILESS_MAIN(TestCrc)
#include "tst_crc.moc"
