// File checksums against the plain reading of the same file, in one run:
//  - each CRC kernel (tables; carry-less multiply on 128, 256 and 512 bits) and ISA-L's
//    crc32_gzip_refl, on one block in memory;
//  - FileChecksum on a cached 1 GiB and 2 GiB file (its own choice, two threads at that size,
//    and forced to one) against a single-thread read() loop and against ISA-L over that loop;
//  - FileChecksum and the read() loop on a 1 GiB file dropped from the page cache each pass;
//  - FileChecksum on the 1 GiB file with the other core busy (a spinning process): its own
//    choice against one and two threads;
//  - FileChecksum on the 2 GiB file with the progress window (offscreen);
//  - one against two threads on files of 1 to 32 MiB, where the two-thread size limit lies;
// a rename run of 10,000 files against perl's rename on the same files, with and without
// its journal (one forced write per rename); and a run of 100,000 rotated names against the
// same run with free targets.
// Run: build/default/bench/bench_rename  (needs about 3.1 GiB of free space in the temp folder)
// Only the checksums: build/default/bench/bench_rename --benchmark_filter='Crc|Read|Checksum|Isal'
#include "checksum/filechecksum.h"
#include "rename/noreplacerename.h"
#include "rename/renamerun.h"
#include "rename/renamesession.h"

#include "batch/nativepath.h"
#include "ui/checksumprogresswindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "benchmain.h"
#include "patternfile.h"

#include <isa-l/crc.h>

#include <algorithm>
#include <fcntl.h>
#include <numeric>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <thread>
#include <vector>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kMiB = qint64(1) << 20;
constexpr int kFiles = 10'000;

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// A file of `bytes` bytes of varied content, written once per run and flushed to the disk, so
// that it can be dropped from the page cache.
const QString& fileOfSize(qint64 bytes)
{
    static std::map<qint64, QString> files;
    auto found = files.find(bytes);
    if (found != files.end())
        return found->second;
    const QString path = workDir().filePath(u"f%1.bin"_s.arg(bytes));
    bench::writePatternFile(path, bytes);
    return files.emplace(bytes, path).first->second;
}

int openForReading(const QString& path)
{
    return ::open(batch::nativeBytesFromPath(path).constData(), O_RDONLY | O_CLOEXEC);
}

// Reads the file once more so that it is in the page cache, or drops it from there.
void makeCached(const QString& path, bool cached)
{
    const int fd = openForReading(path);
    if (cached) {
        std::vector<char> buffer(kMiB);
        while (::read(fd, buffer.data(), buffer.size()) > 0) {
        }
    } else {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    }
    ::close(fd);
}

// The baseline: one thread reading the whole file with read() into one buffer. `sum` is given
// each piece read.
template <typename Sum> bool readLoop(const QString& path, qint64 bufferBytes, Sum&& sum)
{
    const int fd = openForReading(path);
    if (fd < 0)
        return false;
    std::vector<unsigned char> buffer(static_cast<size_t>(bufferBytes));
    ssize_t got;
    while ((got = ::read(fd, buffer.data(), buffer.size())) > 0)
        sum(buffer.data(), size_t(got));
    ::close(fd);
    return got == 0;
}

// CPU seconds of all threads of this process so far: the cost of the reading threads too.
double processCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Reports the CPU time of all threads per GiB read, from `start` on.
void reportCpu(benchmark::State& state, double start, qint64 bytesPerIteration)
{
    const double gib = double(state.iterations()) * double(bytesPerIteration) / double(1 << 30);
    state.counters["cpu_ms_per_GiB"] = (processCpuSeconds() - start) * 1000.0 / gib;
}

class NoProgress final : public checksum::ChecksumProgress {
public:
    void begin(const QString&) override {}
    void step(const QString&) override {}
    void end() override {}
};

checksum::ChecksumKind kindArg(std::int64_t arg)
{
    return arg == 16 ? checksum::ChecksumKind::Crc16 : checksum::ChecksumKind::Crc32;
}

// Arguments: file size in MiB, read() buffer in KiB, cached (1) or not (0).
void BM_ReadLoop(benchmark::State& state)
{
    const QString& path = fileOfSize(state.range(0) * kMiB);
    const bool cached = state.range(2) != 0;
    makeCached(path, cached);
    const double cpu = processCpuSeconds();
    for (auto _ : state) {
        if (!cached) {
            state.PauseTiming();
            makeCached(path, false);
            state.ResumeTiming();
        }
        if (!readLoop(path, state.range(1) << 10,
                      [](const unsigned char* p, size_t) { benchmark::DoNotOptimize(p); }))
            state.SkipWithError("cannot read");
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kMiB);
    reportCpu(state, cpu, state.range(0) * kMiB);
}

// ISA-L's CRC-32 over the same read() loop. Arguments: file size in MiB, read() buffer in KiB.
void BM_IsalOverRead(benchmark::State& state)
{
    const QString& path = fileOfSize(state.range(0) * kMiB);
    makeCached(path, true);
    const double cpu = processCpuSeconds();
    for (auto _ : state) {
        std::uint32_t crc = 0;
        if (!readLoop(path, state.range(1) << 10, [&crc](const unsigned char* p, size_t n) {
                crc = crc32_gzip_refl(crc, p, n);
            }))
            state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kMiB);
    reportCpu(state, cpu, state.range(0) * kMiB);
}

// Arguments: file size in MiB, 16 or 32, threads (0: its own choice, 1, 2), cached (1) or not.
void BM_FileChecksum(benchmark::State& state)
{
    const QString& path = fileOfSize(state.range(0) * kMiB);
    const checksum::ChecksumKind kind = kindArg(state.range(1));
    const auto threads = static_cast<checksum::ChecksumThreads>(state.range(2));
    const bool cached = state.range(3) != 0;
    makeCached(path, cached);
    // The result must be the one ISA-L gives, or the speed means nothing.
    if (kind == checksum::ChecksumKind::Crc32) {
        std::uint32_t crc = 0;
        readLoop(path, kMiB,
                 [&crc](const unsigned char* p, size_t n) { crc = crc32_gzip_refl(crc, p, n); });
        NoProgress progress;
        if (checksum::FileChecksum(path, kind, progress, 1, threads).text
            != checksum::checksumText(kind, crc))
            state.SkipWithError("FileChecksum differs from ISA-L");
    }
    const double cpu = processCpuSeconds();
    for (auto _ : state) {
        if (!cached) {
            state.PauseTiming();
            makeCached(path, false);
            state.ResumeTiming();
        }
        NoProgress progress;
        benchmark::DoNotOptimize(checksum::FileChecksum(path, kind, progress, 1, threads));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kMiB);
    reportCpu(state, cpu, state.range(0) * kMiB);
}

// The same with the other core busy: a spinning process for each core but one, started here
// and ended after the measurement. Two readers must not be slower than one here.
// Arguments: file size in MiB, threads (0: its own choice, 1, 2).
void BM_FileChecksumBusy(benchmark::State& state)
{
    const QString& path = fileOfSize(state.range(0) * kMiB);
    const auto threads = static_cast<checksum::ChecksumThreads>(state.range(1));
    makeCached(path, true);
    std::vector<std::unique_ptr<QProcess>> spinners;
    for (unsigned i = 1; i < std::max(2u, std::thread::hardware_concurrency()); ++i) {
        auto spinner = std::make_unique<QProcess>();
        spinner->start(u"/bin/sh"_s, {u"-c"_s, u"while :; do :; done"_s});
        if (!spinner->waitForStarted())
            state.SkipWithError("cannot start a spinning process");
        spinners.push_back(std::move(spinner));
    }
    qint64 helperBytes = 0;
    for (auto _ : state) {
        NoProgress progress;
        checksum::ChecksumReaders readers;
        benchmark::DoNotOptimize(checksum::FileChecksum(path, checksum::ChecksumKind::Crc32,
                                                        progress, 1, threads, &readers));
        helperBytes += readers.helperBytes;
    }
    for (auto& spinner : spinners) {
        spinner->kill();
        spinner->waitForFinished();
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kMiB);
    state.counters["second_reader_share"] =
        double(helperBytes) / double(state.iterations() * state.range(0) * kMiB);
}

// What the user waits for: FileChecksum with the progress window drawing its labels and
// processing events (offscreen). Arguments: file size in MiB, 16 or 32.
void BM_FileChecksumWindow(benchmark::State& state)
{
    const QString& path = fileOfSize(state.range(0) * kMiB);
    const checksum::ChecksumKind kind = kindArg(state.range(1));
    makeCached(path, true);
    const double cpu = processCpuSeconds();
    for (auto _ : state) {
        ui::ChecksumProgressWindow progress;
        benchmark::DoNotOptimize(checksum::FileChecksum(path, kind, progress));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * kMiB);
    reportCpu(state, cpu, state.range(0) * kMiB);
}

// One block in memory. Arguments: 16 or 32, kernel (0 tables, 1 narrow, 2 wide, 3 widest
// carry-less multiply).
void BM_CrcKernel(benchmark::State& state)
{
    const checksum::ChecksumKind kind = kindArg(state.range(0));
    const auto kernel = static_cast<checksum::CrcKernel>(state.range(1));
    std::vector<char> data(checksum::kChecksumBlockBytes, 'x');
    for (auto _ : state)
        benchmark::DoNotOptimize(checksum::crcWithKernel(kind, kernel, data.data(), data.size()));
    state.SetBytesProcessed(state.iterations() * qint64(data.size()));
}

void BM_IsalKernel(benchmark::State& state)
{
    std::vector<unsigned char> data(checksum::kChecksumBlockBytes, 'x');
    for (auto _ : state)
        benchmark::DoNotOptimize(crc32_gzip_refl(0, data.data(), data.size()));
    state.SetBytesProcessed(state.iterations() * qint64(data.size()));
}

// A fresh folder of files a0 .. a<count-1> for each iteration, created outside the timing.
QString makeFiles(int round, int count = kFiles)
{
    const QString folder = workDir().filePath(u"r%1"_s.arg(round));
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const int fd = ::open(QFile::encodeName(folder + u"/a%1.txt"_s.arg(i)).constData(),
                              O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0)
            qFatal("cannot create files");
        ::close(fd);
    }
    return folder;
}

class SilentRunDialogs final : public rename::RunDialogs {
public:
    void showMessage(const QString&, const QString&) override {}
    QString askName(const QString&, const QString&, const QString&) override { return {}; }
    bool askYesNo(const QString&) override { return true; }
};

// One way of renaming `count` fresh files a<i>.txt to b<i>.txt; the milliseconds it took.
// 0: a bare loop of renameat2 (the floor); 1: the run without its journal; 2: the whole run as
// the window starts it, journal included.
// Rotated: each a<i>.txt takes the name of the next one, the last the first's, so the run plans
// one cycle through a temporary name.
double timedRenames(int count, int mode, int round, bool rotated = false)
{
    const QString folder = makeFiles(round, count);
    QStringList sources;
    QStringList targets;
    for (int i = 0; i < count; ++i) {
        sources.append(folder + u"/a%1.txt"_s.arg(i));
        targets.append(rotated ? folder + u"/a%1.txt"_s.arg((i + 1) % count)
                               : folder + u"/b%1.txt"_s.arg(i));
    }
    const QString journalFolder = folder + u"-journal"_s;
    QElapsedTimer timer;
    timer.start();
    qsizetype renamed = 0;
    if (mode == 0) {
        for (int i = 0; i < count; ++i) {
            renamed += ::renameat2(AT_FDCWD, QFile::encodeName(sources[i]).constData(), AT_FDCWD,
                                   QFile::encodeName(targets[i]).constData(), RENAME_NOREPLACE)
                       == 0;
        }
    } else if (mode == 1) {
        rename::RenameOperations ops;
        ops.rename = [](const QString& from, const QString& to) {
            return rename::renameWithoutReplacing(from, to);
        };
        ops.askName = [](const QString&, const QString&, const QString&) { return QString(); };
        ops.showMessage = [](const QString&) {};
        ops.exists = rename::itemExists;
        ops.fileChecksum = [](const QString&, checksum::ChecksumKind) {
            return checksum::ChecksumResult();
        };
        renamed =
            rename::RunRename(rename::planInOrder(sources, targets), sources, ops, u'/').renamed;
    } else {
        rename::RunRequest request;
        request.sources = sources;
        request.targets = targets;
        request.journalFolder = journalFolder;
        SilentRunDialogs dialogs;
        rename::RenameSession session(std::move(request), dialogs, {});
        renamed = session.run().renamed;
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (renamed != count)
        qFatal("not every file was renamed");
    QDir(folder).removeRecursively();
    QDir(journalFolder).removeRecursively();
    return ms;
}

// The three ways over the same number of files, each on fresh files, their order turned at
// every iteration so that none always comes first onto a busy disk. Reports each way's median
// and mean time and the ratios of both (the median leaves out a stall of the disk that hits one
// iteration); the benchmark's own time is the journaled run's.
void BM_RenameRun(benchmark::State& state)
{
    const int count = int(state.range(0));
    static int round = 0;
    std::vector<double> times[3];
    int iteration = 0;
    for (auto _ : state) {
        double journaled = 0;
        for (int k = 0; k < 3; ++k) {
            const int mode = (k + iteration) % 3;
            const double ms = timedRenames(count, mode, round++);
            times[mode].push_back(ms);
            if (mode == 2)
                journaled = ms;
        }
        ++iteration;
        state.SetIterationTime(journaled / 1000);
    }
    double median[3] = {};
    double mean[3] = {};
    for (int mode = 0; mode < 3; ++mode) {
        std::vector<double>& t = times[mode];
        std::sort(t.begin(), t.end());
        const size_t n = t.size();
        median[mode] = n % 2 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2;
        mean[mode] = std::accumulate(t.begin(), t.end(), 0.0) / double(n);
    }
    state.counters["bare_ms"] = median[0];
    state.counters["without_journal_ms"] = median[1];
    state.counters["with_journal_ms"] = median[2];
    state.counters["journal_vs_without"] = median[2] / median[1];
    state.counters["journal_vs_bare"] = median[2] / median[0];
    state.counters["mean_journal_vs_without"] = mean[2] / mean[1];
}

// The whole journaled run of `files` rotated names against the same run with free targets, in
// turn on fresh files; and the plan of the rotation alone, as the run makes it before its first
// rename.
void BM_RotatedRun(benchmark::State& state)
{
    const int count = int(state.range(0));
    static int round = 5000;
    std::vector<double> free;
    std::vector<double> rotated;
    std::vector<double> planned;
    int iteration = 0;
    for (auto _ : state) {
        for (int k = 0; k < 2; ++k) {
            const bool rotate = (k + iteration) % 2 == 1;
            (rotate ? rotated : free).push_back(timedRenames(count, 2, round++, rotate));
        }
        // The plan alone, on files that are there, as the run makes it.
        const QString folder = makeFiles(round++, count);
        rename::RunRequest request;
        for (int i = 0; i < count; ++i) {
            request.sources.append(folder + u"/a%1.txt"_s.arg(i));
            request.targets.append(folder + u"/a%1.txt"_s.arg((i + 1) % count));
        }
        QElapsedTimer timer;
        timer.start();
        const rename::RunPlan plan = rename::planOfRequest(request);
        planned.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (plan.cycles.size() != 1)
            state.SkipWithError("the rotation was not planned as one cycle");
        QDir(folder).removeRecursively();
        ++iteration;
        state.SetIterationTime(rotated.back() / 1000);
    }
    const auto median = [](std::vector<double> t) {
        std::sort(t.begin(), t.end());
        const size_t n = t.size();
        return n % 2 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2;
    };
    state.counters["free_ms"] = median(free);
    state.counters["rotated_ms"] = median(rotated);
    state.counters["rotated_vs_free"] = median(rotated) / median(free);
    state.counters["plan_only_ms"] = median(planned);
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

BENCHMARK(BM_CrcKernel)
    ->ArgsProduct({{16, 32}, {0, 1, 2, 3}})
    ->ArgNames({"crc", "kernel"})
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.2);
BENCHMARK(BM_IsalKernel)->Unit(benchmark::kMicrosecond)->MinTime(0.2);
// Cached 1 GiB and 2 GiB files.
BENCHMARK(BM_ReadLoop)
    ->ArgsProduct({{1024, 2048}, {256, 1024}, {1}})
    ->ArgNames({"MiB", "KiB", "cached"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4);
BENCHMARK(BM_IsalOverRead)
    ->ArgsProduct({{1024, 2048}, {256}})
    ->ArgNames({"MiB", "KiB"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4);
BENCHMARK(BM_FileChecksum)
    ->ArgsProduct({{1024, 2048}, {16, 32}, {0, 1}, {1}})
    ->ArgNames({"MiB", "crc", "threads", "cached"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4);
BENCHMARK(BM_FileChecksumBusy)
    ->ArgsProduct({{1024}, {0, 1, 2}})
    ->ArgNames({"MiB", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4);
BENCHMARK(BM_FileChecksumWindow)
    ->ArgsProduct({{2048}, {16, 32}})
    ->ArgNames({"MiB", "crc"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4);
// A 1 GiB file read from the disk.
BENCHMARK(BM_ReadLoop)
    ->ArgsProduct({{1024}, {256, 1024}, {0}})
    ->ArgNames({"MiB", "KiB", "cached"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(BM_FileChecksum)
    ->ArgsProduct({{1024}, {32}, {0, 1}, {0}})
    ->ArgNames({"MiB", "crc", "threads", "cached"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
// Where two threads start to pay.
BENCHMARK(BM_FileChecksum)
    ->ArgsProduct({{1, 2, 4, 8, 16, 32}, {32}, {1, 2}, {1}})
    ->ArgNames({"MiB", "crc", "threads", "cached"})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->MinTime(0.1);
BENCHMARK(BM_RenameRun)
    ->Arg(10'000)
    ->ArgName("files")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(9);
BENCHMARK(BM_RenameRun)
    ->Arg(100'000)
    ->ArgName("files")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_RotatedRun)
    ->Arg(100'000)
    ->ArgName("files")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_PerlRename)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

QUILLET_BENCHMARK_MAIN(QApplication)
