#include "rename/filechecksum.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quillet::rename;
using namespace Qt::Literals::StringLiterals;

namespace {

class RecordingProgress final : public ChecksumProgress {
public:
    QStringList events;
    void begin(const QString& caption) override { events.append(u"begin "_s + caption); }
    void step(const QString& label) override { events.append(label); }
    void end() override { events.append(u"end"_s); }
};

QStringList labels(std::initializer_list<int> percents)
{
    QStringList list;
    for (int p : percents)
        list.append(QString::number(p) + u"%取得"_s);
    return list;
}

} // namespace

class TestFileChecksum : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString makeFile(const QString& name, qint64 size)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create test file");
        QByteArray chunk(1 << 16, Qt::Uninitialized);
        for (int i = 0; i < chunk.size(); ++i)
            chunk[i] = char((i * 131 + 7) & 0xFF);
        for (qint64 written = 0; written < size;) {
            const qint64 n = qMin<qint64>(chunk.size(), size - written);
            file.write(chunk.constData(), n);
            written += n;
        }
        return file.fileName();
    }

    static QString referenceText(const QString& path, ChecksumKind kind)
    {
        const QByteArray all = quillet::test::readFile(path);
        const std::uint32_t value = referenceCrc(kind, all.constData(), size_t(all.size()));
        return u"%1"_s.arg(value, kind == ChecksumKind::Crc16 ? 4 : 8, 16, QChar(u'0')).toUpper();
    }

private slots:
    void labelsAndValues_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("empty file: straight to 100%") << qint64(0) << labels({100});
        QTest::newRow("one block") << qint64(1'000'000) << labels({0, 100});
        QTest::newRow("one byte more is two blocks") << qint64(1'000'001) << labels({0, 100, 100});
        QTest::newRow("3,500,000 bytes") << qint64(3'500'000) << labels({0, 29, 57, 86, 100});
        QTest::newRow("8,000,000 bytes")
            << qint64(8'000'000) << labels({0, 12, 25, 38, 50, 62, 75, 88, 100});
    }
    void labelsAndValues()
    {
        QFETCH(qint64, size);
        QFETCH(QStringList, steps);
        const QString path = makeFile(u"f%1.bin"_s.arg(size), size);
        for (const ChecksumKind kind : {ChecksumKind::Crc16, ChecksumKind::Crc32}) {
            RecordingProgress progress;
            const std::optional<QString> text = FileChecksum(path, kind, progress);
            QVERIFY(text);
            QCOMPARE(*text, referenceText(path, kind));
            QCOMPARE(progress.events, QStringList{u"begin "_s + checksumCaption(kind)} + steps
                                          + QStringList{u"end"_s});
        }
    }

    void captions()
    {
        QCOMPARE(checksumCaption(ChecksumKind::Crc16), u"16bitCRC取得中..."_s);
        QCOMPARE(checksumCaption(ChecksumKind::Crc32), u"32bitCRC取得中..."_s);
    }

    // Lengths beyond 32 bits: the percentages are computed in 64 bits.
    void largeOffsetsGiveRightPercentages()
    {
        const qint64 fourGiB = qint64(1) << 32;
        QCOMPARE(progressLabel(fourGiB / 2, fourGiB), u"50%取得"_s);
        QCOMPARE(progressLabel(fourGiB - 1'000'000, fourGiB), u"100%取得"_s);
        QCOMPARE(progressLabel(qint64(3) << 30, fourGiB), u"75%取得"_s);
    }

    void failsBeforeAnyWindowForMissingOrFolder()
    {
        RecordingProgress progress;
        QVERIFY(!FileChecksum(m_dir.filePath(u"missing.bin"_s), ChecksumKind::Crc32, progress));
        QVERIFY(!FileChecksum(m_dir.path(), ChecksumKind::Crc16, progress));
        QVERIFY(progress.events.isEmpty());
    }

    void unreadableFileClosesTheProgress()
    {
        const QString path = makeFile(u"locked.bin"_s, 10);
        QFile::setPermissions(path, QFileDevice::Permissions());
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("this user can read files without read permission");
        RecordingProgress progress;
        QVERIFY(!FileChecksum(path, ChecksumKind::Crc32, progress));
        QCOMPARE(progress.events.last(), u"end"_s);
    }

    void blockFactorScalesTheBlocks()
    {
        const QString path = makeFile(u"two-million.bin"_s, 2'000'000);
        RecordingProgress progress;
        QVERIFY(FileChecksum(path, ChecksumKind::Crc32, progress, 2));
        QCOMPARE(progress.events.size(), 4); // begin, 0%, 100%, end
    }
};

QTEST_GUILESS_MAIN(TestFileChecksum)
#include "tst_filechecksum.moc"
