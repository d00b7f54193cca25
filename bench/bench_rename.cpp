// File checksums of a cached 1 GiB file against a loop that only reads it in the same blocks,
// and a rename run of 10,000 files against perl's rename on the same files, in one run; the
// same run with its journal (one forced write per rename) against the run without.
// Run: build/default/bench/bench_rename  (needs about 1 GiB of free space in the temp folder)
#include "rename/filechecksum.h"
#include "rename/noreplacerename.h"
#include "rename/renamejournal.h"
#include "rename/renamerun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "benchmain.h"

#include <vector>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kFileSize = qint64(1) << 30;
constexpr int kFiles = 10'000;

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

const QString& bigFile()
{
    static const QString path = [] {
        const QString file = workDir().filePath(u"big.bin"_s);
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file));
        QByteArray chunk(1 << 20, Qt::Uninitialized);
        for (int i = 0; i < chunk.size(); ++i)
            chunk[i] = char((i * 2654435761u) >> 24);
        for (qint64 written = 0; written < kFileSize; written += chunk.size())
            out.write(chunk);
        return file;
    }();
    return path;
}

class NoProgress final : public rename::ChecksumProgress {
public:
    void begin(const QString&) override {}
    void step(const QString&) override {}
    void end() override {}
};

void BM_ReadOnly(benchmark::State& state)
{
    std::vector<char> block(rename::kChecksumBlockBytes);
    for (auto _ : state) {
        QFile file(bigFile());
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot open");
        while (file.read(block.data(), qint64(block.size())) > 0)
            benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
}

void BM_FileChecksum(benchmark::State& state)
{
    const auto kind =
        state.range(0) == 16 ? rename::ChecksumKind::Crc16 : rename::ChecksumKind::Crc32;
    for (auto _ : state) {
        NoProgress progress;
        benchmark::DoNotOptimize(rename::FileChecksum(bigFile(), kind, progress));
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
}

void BM_CrcKernel(benchmark::State& state)
{
    const auto kernel =
        state.range(0) == 0 ? rename::CrcKernel::Tables : rename::CrcKernel::Carryless;
    std::vector<char> data(rename::kChecksumBlockBytes, 'x');
    for (auto _ : state)
        benchmark::DoNotOptimize(
            rename::crcWithKernel(rename::ChecksumKind::Crc32, kernel, data.data(), data.size()));
    state.SetBytesProcessed(state.iterations() * qint64(data.size()));
}

// A fresh folder of files a0 .. a9999 for each iteration, created outside the timing.
QString makeFiles(int round)
{
    const QString folder = workDir().filePath(u"r%1"_s.arg(round));
    QDir().mkpath(folder);
    for (int i = 0; i < kFiles; ++i) {
        QFile file(folder + u"/a%1.txt"_s.arg(i));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create files");
    }
    return folder;
}

// Arg 1: every attempt through the journal, as the main window runs it.
void BM_RenameRun(benchmark::State& state)
{
    const bool journaled = state.range(0) != 0;
    int round = journaled ? 2000 : 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = makeFiles(round++);
        QStringList sources;
        QStringList targets;
        for (int i = 0; i < kFiles; ++i) {
            sources.append(folder + u"/a%1.txt"_s.arg(i));
            targets.append(folder + u"/b%1.txt"_s.arg(i));
        }
        rename::RenameOperations ops;
        ops.rename = rename::renameWithoutReplacing;
        ops.askName = [](const QString&, const QString&, const QString&) { return QString(); };
        ops.showMessage = [](const QString&) {};
        ops.fileChecksum = [](const QString&, rename::ChecksumKind) {
            return std::optional<QString>();
        };
        const QString journalFolder = folder + u"-journal"_s;
        state.ResumeTiming();
        if (journaled) {
            rename::RenameJournal journal(journalFolder, rename::RunKind::Rename);
            ops.rename = journal.journaled(rename::renameWithoutReplacing);
            rename::RunRename(sources, targets, ops, u'/');
        } else {
            rename::RunRename(sources, targets, ops, u'/');
        }
        state.PauseTiming();
        QDir(folder).removeRecursively();
        QDir(journalFolder).removeRecursively();
        state.ResumeTiming();
    }
}

void BM_PerlRename(benchmark::State& state)
{
    int round = 1000;
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = makeFiles(round++);
        state.ResumeTiming();
        // What a script does: for each file, refuse an existing target, then rename.
        QProcess perl;
        perl.setWorkingDirectory(folder);
        perl.start(u"perl"_s,
                   {u"-e"_s, u"for (0..9999) { my ($a, $b) = (\"a$_.txt\", \"b$_.txt\"); "
                             u"next if -e $b; rename $a, $b or die } "_s});
        if (!perl.waitForFinished(-1) || perl.exitCode() != 0)
            state.SkipWithError("perl failed");
        state.PauseTiming();
        QDir(folder).removeRecursively();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_ReadOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_FileChecksum)
    ->Arg(16)
    ->Arg(32)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);
BENCHMARK(BM_CrcKernel)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenameRun)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_PerlRename)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

QUILLET_BENCHMARK_MAIN(QCoreApplication)
