#include "checksum/filechecksum.h"
#include "crcreference.h"
#include "testfiles.h"
#include "unprivileged.h"

#include "batch/nativepath.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#if !defined(Q_OS_WIN)
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace quillet::checksum;
using namespace Qt::Literals::StringLiterals;

namespace {

class RecordingProgress final : public ChecksumProgress {
public:
    QStringList events;
    // Called at each label with its number (0 for the first): lets a test change the file
    // while it is read.
    std::function<void(int)> onStep;
    void begin(const QString& caption) override { events.append(u"begin "_s + caption); }
    void step(const QString& label) override
    {
        if (onStep)
            onStep(int(events.size()) - 1);
        events.append(label);
    }
    void end() override { events.append(u"end"_s); }
    bool stopRequested() const override { return stop; }
    std::atomic<bool> stop{false};
};

const char* threadsName(ChecksumThreads threads)
{
    switch (threads) {
    case ChecksumThreads::Automatic: return "by size";
    case ChecksumThreads::One: return "one thread";
    case ChecksumThreads::Two: return "two threads";
    }
    return "";
}

QStringList labels(std::initializer_list<int> percents)
{
    QStringList list;
    for (int p : percents)
        list.append(QString::number(p) + u"%取得"_s);
    return list;
}

// A checksum taken while sixteen spinners for every core run: whatever else runs gets about a
// seventeenth of one.
struct BusyRun {
    std::optional<QString> value;
    qsizetype progressEvents = 0;
    qint64 helperBytes = 0;
};

BusyRun checksumWhileBusy(const QString& path, ChecksumThreads threads)
{
    std::atomic<bool> stop{false};
    std::vector<std::jthread> spinners;
    for (unsigned i = 0; i < 16 * std::max(2u, std::thread::hardware_concurrency()); ++i)
        spinners.emplace_back([&stop] {
            while (!stop.load(std::memory_order_relaxed)) {
            }
        });
    ChecksumReaders readers;
    RecordingProgress progress;
    BusyRun run;
    run.value = FileChecksum(path, ChecksumKind::Crc32, progress, 1, threads, &readers).text;
    stop = true;
    spinners.clear();
    run.progressEvents = progress.events.size();
    run.helperBytes = readers.helperBytes;
    return run;
}

} // namespace

Q_DECLARE_METATYPE(quillet::checksum::ChecksumThreads)

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
    // The labels are the same whether one thread reads the file or two read its halves.
    void labelsAndValues_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<ChecksumThreads>("threads");
        for (const ChecksumThreads threads : {ChecksumThreads::One, ChecksumThreads::Two}) {
            const char* t = threadsName(threads);
            QTest::addRow("empty file: straight to 100%%, %s", t)
                << qint64(0) << labels({100}) << threads;
            QTest::addRow("one block, %s", t) << qint64(1'000'000) << labels({0, 100}) << threads;
            QTest::addRow("one byte more is two blocks, %s", t)
                << qint64(1'000'001) << labels({0, 100, 100}) << threads;
            QTest::addRow("3,500,000 bytes, %s", t)
                << qint64(3'500'000) << labels({0, 29, 57, 86, 100}) << threads;
            QTest::addRow("8,000,000 bytes, %s", t)
                << qint64(8'000'000) << labels({0, 12, 25, 38, 50, 62, 75, 88, 100}) << threads;
        }
    }
    void labelsAndValues()
    {
        QFETCH(qint64, size);
        QFETCH(QStringList, steps);
        QFETCH(ChecksumThreads, threads);
        const QString path = makeFile(u"f%1.bin"_s.arg(size), size);
        for (const ChecksumKind kind : {ChecksumKind::Crc16, ChecksumKind::Crc32}) {
            RecordingProgress progress;
            const std::optional<QString> text = FileChecksum(path, kind, progress, 1, threads).text;
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
        QCOMPARE(
            FileChecksum(m_dir.filePath(u"missing.bin"_s), ChecksumKind::Crc32, progress).failure,
            u"見つかりません"_s);
        QCOMPARE(FileChecksum(m_dir.path(), ChecksumKind::Crc16, progress).failure,
                 u"フォルダーです"_s);
        QVERIFY(progress.events.isEmpty());
    }

    // Run as an unprivileged user, root reading every file.
    void unreadableFileClosesTheProgressWithItsReason()
    {
        const QString failed = quillet::test::runUnprivileged([]() -> QString {
            QTemporaryDir dir;
            const QString path = dir.filePath(u"locked.bin"_s);
            quillet::test::writeFile(path, "0123456789");
            QFile::setPermissions(path, QFileDevice::Permissions());
            RecordingProgress progress;
            const ChecksumResult result = FileChecksum(path, ChecksumKind::Crc32, progress);
            if (result.text)
                return u"a checksum of an unreadable file"_s;
            if (result.failure != u"アクセスが拒否されました"_s)
                return u"reason: "_s + result.failure;
            if (progress.events.value(progress.events.size() - 1) != u"end"_s)
                return u"the progress was left open"_s;
            return {};
        });
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
    }

    void blockFactorScalesTheBlocks()
    {
        const QString path = makeFile(u"two-million.bin"_s, 2'000'000);
        RecordingProgress progress;
        QVERIFY(FileChecksum(path, ChecksumKind::Crc32, progress, 2).text);
        QCOMPARE(progress.events.size(), 4); // begin, 0%, 100%, end
    }

    // Sizes where the halves, the reads and the blocks begin and end, each summed by whichever
    // way the size chooses and by both forced ways.
    void sizesAroundTheBoundaries_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<ChecksumThreads>("threads");
        const qint64 sizes[] = {0,
                                1,
                                2,
                                4095,
                                4096,
                                8193,
                                kChecksumBlockBytes - 1,
                                kChecksumBlockBytes + 1,
                                kTwoThreadChecksumBytes - 1,
                                kTwoThreadChecksumBytes,
                                kTwoThreadChecksumBytes + 1};
        for (const qint64 size : sizes)
            for (const ChecksumThreads threads :
                 {ChecksumThreads::Automatic, ChecksumThreads::One, ChecksumThreads::Two})
                QTest::addRow("%lld bytes, %s", static_cast<long long>(size), threadsName(threads))
                    << size << threads;
    }
    void sizesAroundTheBoundaries()
    {
        QFETCH(qint64, size);
        QFETCH(ChecksumThreads, threads);
        const QString path = m_dir.filePath(u"s%1.bin"_s.arg(size));
        if (!QFile::exists(path)) {
            // Bytes that differ from block to block, so a half summed twice or in the wrong
            // order changes the result.
            QByteArray bytes(size, Qt::Uninitialized);
            for (qint64 i = 0; i < size; ++i)
                bytes[i] = char((i * 2654435761u) >> 13);
            quillet::test::writeFile(path, bytes);
        }
        for (const ChecksumKind kind : {ChecksumKind::Crc16, ChecksumKind::Crc32}) {
            RecordingProgress progress;
            QCOMPARE(FileChecksum(path, kind, progress, 1, threads).text,
                     referenceText(path, kind));
        }
    }

#if !defined(Q_OS_WIN)
    // A file beyond 2 GiB that is all holes but for a few bytes at its start, around its middle
    // and at its end; the reference sums only those bytes and steps over the zeros by algebra.
    void sparseFileBeyondTwoGiB_data()
    {
        QTest::addColumn<ChecksumThreads>("threads");
        QTest::newRow("by size") << ChecksumThreads::Automatic;
        QTest::newRow("one thread") << ChecksumThreads::One;
    }
    void sparseFileBeyondTwoGiB()
    {
        QFETCH(ChecksumThreads, threads);
        const quint64 length = (quint64(1) << 31) + 3;
        const std::map<std::uint64_t, QByteArray> pieces{{0, "start"},
                                                         {length / 2 - 4099, "before the middle"},
                                                         {length / 2 + 1, "after the middle"},
                                                         {length - 3, "end"}};
        const QString path = m_dir.filePath(u"sparse.bin"_s);
        if (!QFile::exists(path)) {
            const int fd =
                ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            QVERIFY(fd >= 0);
            bool written = ::ftruncate(fd, off_t(length)) == 0;
            for (const auto& [offset, bytes] : pieces)
                written = written
                          && ::pwrite(fd, bytes.constData(), size_t(bytes.size()), off_t(offset))
                                 == bytes.size();
            ::close(fd);
            if (!written)
                QSKIP("this file system cannot hold a sparse file of 2 GiB");
        }
        for (const ChecksumKind kind : {ChecksumKind::Crc16, ChecksumKind::Crc32}) {
            RecordingProgress progress;
            const std::uint32_t expected = quillet::test::sparseCrc(kind, length, pieces);
            QCOMPARE(FileChecksum(path, kind, progress, 1, threads).text,
                     checksumText(kind, expected));
            QCOMPARE(progress.events.size(), 1 + 2148 + 1 + 1); // begin, blocks, 100%, end
        }
    }

    // On a busy machine the halves of two readers were slower than one reader. A second reader
    // that hardly gets a core leaves, unless kept on purpose; the checksum is the same either
    // way.
    void secondReaderOnABusyMachine_data()
    {
        QTest::addColumn<ChecksumThreads>("threads");
        QTest::addColumn<bool>("helperLeaves");
        QTest::newRow("by size: the second reader leaves") << ChecksumThreads::Automatic << true;
        QTest::newRow("forced to two: it stays") << ChecksumThreads::Two << false;
    }
    void secondReaderOnABusyMachine()
    {
        QFETCH(ChecksumThreads, threads);
        QFETCH(bool, helperLeaves);
        const qint64 length = qint64(128) << 20;
        const QString path = m_dir.filePath(u"busy.bin"_s);
        if (!QFile::exists(path)) {
            QByteArray bytes(length, Qt::Uninitialized);
            for (qint64 i = 0; i < length; ++i)
                bytes[i] = char((i * 2654435761u) >> 24);
            quillet::test::writeFile(path, bytes);
        }
        RecordingProgress quiet;
        const std::optional<QString> expected =
            FileChecksum(path, ChecksumKind::Crc32, quiet, 1, ChecksumThreads::One).text;
        QVERIFY(expected);

        // What the helper reads depends on what the scheduler gives it, and other tests running
        // beside this one add to the load unevenly; so the run is tried a few times, and the
        // helper must behave as expected in one of them.
        QStringList shares;
        for (int attempt = 0; attempt < 3; ++attempt) {
            const BusyRun run = checksumWhileBusy(path, threads);
            QCOMPARE(run.value, expected);
            QCOMPARE(run.progressEvents, 1 + 135 + 1 + 1); // begin, blocks, 100%, end
            // Left: a few chunks before it knew. Stayed: about its half.
            const double share = double(run.helperBytes) / double(length);
            shares.append(QString::number(share));
            if (helperLeaves ? share < 0.4 : share > 0.3)
                return;
        }
        QFAIL(qPrintable(u"the helper's share of the file in each run: "_s + shares.join(u", ")));
    }

    // A name that is not UTF-8 (Shift-JIS from an old archive) reaches the system as its
    // exact bytes.
    void shiftJisNamedFileIsRead()
    {
        const QByteArray name = QFile::encodeName(m_dir.path()) + "/\x83\x65\x83\x58\x83\x67.bin";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "123456789", 9), ssize_t(9));
        ::close(fd);
        const QString path = quillet::batch::pathFromNativeBytes(name);
        QVERIFY(quillet::batch::hasEscapedBytes(path));
        RecordingProgress progress;
        QCOMPARE(FileChecksum(path, ChecksumKind::Crc32, progress).text, u"CBF43926"_s);
        QCOMPARE(FileChecksum(path, ChecksumKind::Crc16, progress).text, u"6F91"_s);
    }
#endif

    // A file that grows, is cut short, is written over or is replaced while it is read got the
    // checksum of bytes that were never the file's content together, or that are no longer
    // the file at its path. Now it gets no checksum at all, and the reason says what happened;
    // a stop asked for meanwhile ends the reading as stopped.
    void fileChangedDuringTheReadGivesNoChecksum_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<ChecksumThreads>("threads");
        QTest::addColumn<QString>("reason");
        const std::pair<const char*, QString> changes[] = {
            {"grown", u"読んでいる間にファイルが変更されました"_s},
            {"truncated", u"読んでいる間にファイルが短くなりました"_s},
            {"written over", u"読んでいる間にファイルが変更されました"_s},
            {"replaced", u"読んでいる間に別のファイルに置き換えられました"_s},
            {"removed", u"読んでいる間にファイルが移動または削除されました"_s},
            {"stopped", u"中止しました"_s}};
        for (const ChecksumThreads threads : {ChecksumThreads::One, ChecksumThreads::Two})
            for (const auto& [change, reason] : changes)
                QTest::addRow("%s, %s", change, threadsName(threads))
                    << QString::fromLatin1(change) << threads << reason;
    }
    void fileChangedDuringTheReadGivesNoChecksum()
    {
        QFETCH(QString, change);
        QFETCH(ChecksumThreads, threads);
        QFETCH(QString, reason);
        const qint64 size = kTwoThreadChecksumBytes + 12345;
        const QString path = makeFile(u"changing.bin"_s, size);
        {
            // A modification time well in the past, so that a change within the same tick of
            // the file system's clock still moves it.
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTimeUtc().addDays(-1),
                                     QFileDevice::FileModificationTime));
        }
        RecordingProgress progress;
        // Two readers tell the progress only between their chunks, and may have read the
        // whole file by the third label: the stop is asked for before they start.
        progress.stop = change == u"stopped"_s && threads == ChecksumThreads::Two;
        progress.onStep = [&](int index) {
            if (index != 3)
                return;
            if (change == u"stopped"_s) {
                progress.stop = true;
                return;
            }
            if (change == u"removed"_s) {
                QFile::remove(path);
                return;
            }
            if (change == u"replaced"_s) {
                // Another program puts a new file in its place; the one being read stays as
                // it was, but it is no longer the file at this path.
                const QString fresh = makeFile(u"fresh.bin"_s, size);
                if (::rename(QFile::encodeName(fresh).constData(),
                             QFile::encodeName(path).constData())
                    != 0)
                    qFatal("cannot replace the test file");
                return;
            }
            QFile file(path);
            if (!file.open(QIODevice::ReadWrite))
                qFatal("cannot change the test file");
            if (change == u"grown"_s) {
                file.seek(size);
                file.write("more");
            } else if (change == u"truncated"_s) {
                file.resize(size / 3);
            } else {
                file.seek(size / 2);
                file.write("over");
            }
        };
        const ChecksumResult result = FileChecksum(path, ChecksumKind::Crc32, progress, 1, threads);
        QCOMPARE(result.text, std::nullopt);
        QCOMPARE(result.failure, reason);
        QCOMPARE(result.stopped, change == u"stopped"_s);
        QCOMPARE(progress.events.last(), u"end"_s);
        QVERIFY(!progress.events.contains(u"100%取得"_s));
        QFile::remove(path);
    }
};

QTEST_GUILESS_MAIN(TestFileChecksum)
#include "tst_filechecksum.moc"
