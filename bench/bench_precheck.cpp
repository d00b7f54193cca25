// The check of a batch of 100,000 files before renaming (free targets, half of them taken, or
// all of them rotated), against a bare loop that only calls lstat on the same sources and
// targets, in one run. The files are real, in a temporary folder, so
// every lookup goes through the system's cache as it does in the window. Run:
// build/default/bench/bench_precheck
#include "batch/nativepath.h"
#include "batch/pathparts.h"
#include "rename/noreplacerename.h"
#include "rename/precheck.h"
#include "rename/targets.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>

#include "benchmain.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kEntries = 100'000;

void touch(const QString& path)
{
    const int fd = ::open(batch::nativeBytesFromPath(path).constData(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0)
        qFatal("cannot create %s", qPrintable(path));
    ::close(fd);
}

// Sources f0.mkv .. f99999.mkv renamed to n0 .. n99999; taken (1): every second target is
// already there, the other half is free; rotated (2): each source takes the next one's name.
struct Batch {
    QStringList sources;
    QString names;
    QStringList targets;
};

const Batch& batchOf(int kind)
{
    static QTemporaryDir dir;
    static Batch batches[3];
    const bool taken = kind == 1;
    const bool rotated = kind == 2;
    Batch& batch = batches[kind];
    if (!batch.sources.isEmpty())
        return batch;
    const QString folder = dir.path() + u"/batch%1"_s.arg(kind);
    if (::mkdir(batch::nativeBytesFromPath(folder).constData(), 0755) != 0)
        qFatal("cannot create %s", qPrintable(folder));
    QStringList lines;
    for (int i = 0; i < kEntries; ++i) {
        batch.sources.append(folder + u"/f%1.mkv"_s.arg(i));
        touch(batch.sources.last());
        lines.append(rotated ? u"f%1"_s.arg((i + 1) % kEntries) : u"n%1"_s.arg(i));
        if (taken && i % 2 == 1)
            touch(folder + u"/n%1.mkv"_s.arg(i));
    }
    batch.names = lines.join(u"\r\n"_s);
    batch.targets = rename::BuildTargetList(batch.sources, batch.names, u'/');
    return batch;
}

void BM_BareLstat(benchmark::State& state)
{
    const Batch& batch = batchOf(int(state.range(0)));
    std::vector<QByteArray> paths;
    for (qsizetype i = 0; i < batch.sources.size(); ++i) {
        paths.push_back(batch::nativeBytesFromPath(batch.sources.at(i)));
        paths.push_back(batch::nativeBytesFromPath(batch.targets.at(i)));
    }
    for (auto _ : state) {
        int found = 0;
        struct stat st;
        for (const QByteArray& path : paths)
            found += ::lstat(path.constData(), &st) == 0;
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_Precheck(benchmark::State& state)
{
    const int kind = int(state.range(0));
    const Batch& batch = batchOf(kind);
    for (auto _ : state) {
        const rename::PrecheckFindings findings = rename::precheckBatch(
            batch.sources, batch.targets, batch.names, u'/', rename::lookUpItem);
        if (findings.count(rename::EntryFinding::Existing) != (kind == 1 ? kEntries / 2 : 0)
            || findings.count(rename::EntryFinding::Swap) != (kind == 2 ? kEntries : 0))
            state.SkipWithError("wrong count of taken or swapped targets");
        benchmark::DoNotOptimize(
            rename::precheckReport(findings, batch.sources, batch.targets, u'/'));
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

// The same check with every source there, every target free and no system call: what the check
// costs beyond lstat.
void BM_PrecheckWithoutLookups(benchmark::State& state)
{
    const Batch& batch = batchOf(0);
    const QString folder = batch::FolderPart(batch.sources.first(), u'/');
    const QString sourceStart = folder + u"/f"_s;
    const auto imagined = [&](const QString& path, rename::LookUp how) {
        if (how == rename::LookUp::Folder || path.startsWith(sourceStart))
            return std::optional<rename::ItemInfo>(rename::ItemInfo{path == folder, 1});
        return std::optional<rename::ItemInfo>();
    };
    for (auto _ : state) {
        const rename::PrecheckFindings findings =
            rename::precheckBatch(batch.sources, batch.targets, batch.names, u'/', imagined);
        benchmark::DoNotOptimize(
            rename::precheckReport(findings, batch.sources, batch.targets, u'/'));
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

} // namespace

BENCHMARK(BM_BareLstat)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);
BENCHMARK(BM_Precheck)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

BENCHMARK(BM_PrecheckWithoutLookups)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

QUILLET_BENCHMARK_MAIN(QCoreApplication)
