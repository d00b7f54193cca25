#include "checksum/secondreaderjudge.h"

#include <QList>
#include <QTest>

#include <algorithm>

using namespace quillet::checksum;
using Step = SecondReaderJudge::Step;

Q_DECLARE_METATYPE(SecondReaderJudge::Step)

namespace {

constexpr qint64 kMiB = qint64(1) << 20;
constexpr qint64 kChunk = 4 * kMiB;

// A checksum as the first reader sees it: `chunks` chunks of 4 MiB, summed at `soloRate` bytes
// per second while it reads alone, and then, both together, at windowRates[w] over the w-th
// window after the second joined (the last rate for the rest); the very first chunk at
// `firstRate` when given. Gives the judge's step after each chunk.
QList<Step> judged(double soloRate, const QList<double>& windowRates, int chunks,
                   double firstRate = 0)
{
    constexpr qint64 kWindowChunks = SecondReaderJudge::kWindowBytes / kChunk;
    SecondReaderJudge judge(100.0);
    double seconds = 100.0;
    qint64 joinedAt = -1;
    QList<Step> steps;
    for (qint64 i = 1; i <= chunks; ++i) {
        double rate = i == 1 && firstRate > 0 ? firstRate : soloRate;
        if (joinedAt >= 0) {
            const qint64 window = (i - joinedAt - 1) / kWindowChunks;
            rate = windowRates.at(std::min(window, qint64(windowRates.size()) - 1));
        }
        seconds += double(kChunk) / rate;
        const Step step = judge.chunkDone(i * kChunk, seconds);
        if (step == Step::StartSecondReader)
            joinedAt = i;
        if (step == Step::SecondReaderLeaves)
            joinedAt = -1;
        steps.append(step);
    }
    return steps;
}

QList<Step> repeated(Step step, int count)
{
    return QList<Step>(count, step);
}

} // namespace

class TestSecondReaderJudge : public QObject {
    Q_OBJECT

private slots:
    // A second reader was kept as long as it got a tenth of a core, also where two readers
    // summed slower than one alone (a busy machine): it must leave when it does not pay.
    void secondReaderLeavesWhenItDoesNotPay_data()
    {
        constexpr double kGiB = 1024.0 * kMiB;
        const int solo = int(SecondReaderJudge::kSoloBytes / kChunk);
        const int window = int(SecondReaderJudge::kWindowBytes / kChunk);
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QList<Step>>("expected");

        const QList<Step> started =
            repeated(Step::ReadAlone, solo - 1) + QList<Step>{Step::StartSecondReader};
        // Enough chunks for the second reader's start and a few judged windows.
        const int chunks = solo + 5 * window;
        QTest::newRow("idle: two read 1.25 times as fast, the second stays")
            << judged(8 * kGiB, {10 * kGiB}, chunks)
            << started + repeated(Step::ReadTogether, chunks - solo);
        QTest::newRow("busy: two read slower than one, the second leaves after two windows")
            << judged(8 * kGiB, {6 * kGiB}, chunks)
            << started + repeated(Step::ReadTogether, 3 * window - 1)
                   + repeated(Step::SecondReaderLeaves, chunks - solo - 3 * window + 1);
        QTest::newRow("a fresh start's slow first chunk does not make two look faster")
            << judged(8 * kGiB, {6 * kGiB}, chunks, 0.5 * kGiB)
            << started + repeated(Step::ReadTogether, 3 * window - 1)
                   + repeated(Step::SecondReaderLeaves, chunks - solo - 3 * window + 1);
        QTest::newRow("a slow start of the second reader is not judged")
            << judged(8 * kGiB, {2 * kGiB, 10 * kGiB}, chunks)
            << started + repeated(Step::ReadTogether, chunks - solo);
        QTest::newRow("one slow window among fast ones: it stays")
            << judged(8 * kGiB, {10 * kGiB, 10 * kGiB, 6 * kGiB, 10 * kGiB, 6 * kGiB, 10 * kGiB},
                      solo + 7 * window)
            << started + repeated(Step::ReadTogether, 7 * window);
        QTest::newRow("a little faster together: it stays")
            << judged(8 * kGiB, {8.2 * kGiB}, chunks)
            << started + repeated(Step::ReadTogether, chunks - solo);
        QTest::newRow("paying until the other core got busy: it leaves then")
            << judged(8 * kGiB, {10 * kGiB, 10 * kGiB, 10 * kGiB, 4 * kGiB}, solo + 7 * window)
            << started + repeated(Step::ReadTogether, 5 * window - 1)
                   + repeated(Step::SecondReaderLeaves, 2 * window + 1);
        QTest::newRow("no longer than the stretch read alone: no second reader")
            << judged(8 * kGiB, {10 * kGiB}, solo - 1) << repeated(Step::ReadAlone, solo - 1);
    }
    void secondReaderLeavesWhenItDoesNotPay()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QList<Step>, expected);
        QCOMPARE(steps, expected);
    }

    // A coarse clock may not move over the first chunks: that is no rate to judge by.
    void clockThatDidNotMoveKeepsTheSecondReader()
    {
        SecondReaderJudge judge(5.0);
        QCOMPARE(judge.chunkDone(4 << 20, 5.0), Step::ReadAlone);
        QCOMPARE(judge.chunkDone(SecondReaderJudge::kSoloBytes, 5.0), Step::StartSecondReader);
        QCOMPARE(
            judge.chunkDone(SecondReaderJudge::kSoloBytes + SecondReaderJudge::kWindowBytes, 6.0),
            Step::ReadTogether);
    }
};

QTEST_GUILESS_MAIN(TestSecondReaderJudge)
#include "tst_secondreaderjudge.moc"
