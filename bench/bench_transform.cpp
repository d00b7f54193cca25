// Every easy-mode operation, the codec rewrite and an advanced edit over 100,000 names,
// against perl doing the equivalent edit on the same names in the same run.
// Run: build/default/bench/bench_transform
#include "batch/linetext.h"
#include "transform/advancededit.h"
#include "transform/easymode.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "benchmain.h"

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kLines = 100'000;

const QString& names()
{
    static const QString text = [] {
        const QStringList shapes{
            u"[DVD] Series Title #%1 (1080p) ｢Sub｣ （x） ・・・ !"_s,
            u"　Movie Title 第%1話 (DVD) [ABCD1234]  "_s,
            u"(LD) Old Show #%1 [640x480 24Bit DivX 5 29.97fps 1234f MP3 44.1kHz 2ch 128kbps ]"_s,
            u"Plain name %1 with DVD inside！"_s};
        QStringList lines;
        lines.reserve(kLines);
        for (int i = 0; i < kLines; ++i)
            lines.append(shapes[i % shapes.size()].arg(i % 1000, 2, 10, QChar(u'0')));
        return batch::joinLines(lines);
    }();
    return text;
}

transform::EasyValues easyValues()
{
    transform::EasyValues values;
    values.valueA = u"DVD"_s;
    values.valueB = u"BD"_s;
    values.crc16Template = u" [*/CRC16/*]"_s;
    values.crc32Template = u" [*/CRC32/*]"_s;
    values.codecTemplate = u" [*/WIDTH/*x*/HEIGHT/* */CODEC/* */MUSICCODEC/* */KBPS/*kbps]"_s;
    return values;
}

// The perl program that does what the operation at an index does.
QString perlFor(int index)
{
    switch (index) {
    case 0: return u"s/^/[DVD] /"_s;
    case 1: return u"s/^/(DVD) /"_s;
    case 2: return u"s/^/(DVD-RIP) /"_s;
    case 3: return u"s/^/[LD] /"_s;
    case 4: return u"s/^/(LD) /"_s;
    case 5: return u"s/^/[映画] /"_s;
    case 6: return u"s/^/[18禁ゲーム] /"_s;
    case 7: return u"s/^/(18禁ゲーム) /"_s;
    case 8: return u"s/^/DVD/"_s;
    case 10: return u"s/$/(DVD)/"_s;
    case 11: return u"s/$/(DVD-RIP)/"_s;
    case 12: return u"s/$/(LD)/"_s;
    case 13: return u"s/$/(日本語字幕)/"_s;
    case 14: return u"s/$/(日本語吹き替え)/"_s;
    case 15: return u"s/$/DVD/"_s;
    case 17: return u"s/#([0-9]{1,8})(?![0-9])/第$1話/"_s;
    case 18: return u"s/第([0-9]{1,8})(?![0-9]).?/#$1/"_s;
    case 19: return u"tr/｢｣/「」/"_s;
    case 20: return u"tr/（）/()/"_s;
    case 21: return u"tr/()/（）/"_s;
    case 22: return u"tr/!/！/"_s;
    case 23: return u"tr/！/!/"_s;
    case 24: return u"s/・・・/…/g"_s;
    case 25: return u"s/DVD/BD/g"_s;
    case 27: return u"s/^\\[[^\\]]*\\]//"_s;
    case 28: return u"s/DVD//"_s;
    case 29: return u"s/\\[[^\\[]*\\]$//"_s;
    case 30: return u"s/(.*)DVD/$1/"_s;
    case 31: return u"s/^[ 　]+|[ 　]+$//g"_s;
    case 33: return u"s/$/ [*\\/CRC16\\/*]/"_s;
    case 34: return u"s/$/ [*\\/CRC32\\/*]/"_s;
    case 35:
        return u"s/ ?\\[([0-9]+)x([0-9]+) ([0-9]+)Bit (.+?) ([0-9.]+)fps ([0-9]+)f (\\S+) "
               u"([0-9.]+)kHz (\\S+) ([0-9]+)kbps \\]/ [$1x$2 $4 $7 $10kbps]/"_s;
    default: return {};
    }
}

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

QString inputFile()
{
    static const QString path = [] {
        const QString file = workDir().filePath(u"names.txt"_s);
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file));
        out.write(QString(names()).replace(u"\r\n"_s, u"\n"_s).toUtf8());
        out.write("\n");
        return file;
    }();
    return path;
}

void runPerl(benchmark::State& state, const QString& program)
{
    const QString input = inputFile();
    const QString output = workDir().filePath(u"out.txt"_s);
    for (auto _ : state) {
        QProcess perl;
        perl.setStandardInputFile(input);
        perl.setStandardOutputFile(output);
        perl.start(u"perl"_s, {u"-CSD"_s, u"-Mutf8"_s, u"-lpe"_s, program});
        if (!perl.waitForFinished(-1) || perl.exitCode() != 0) {
            state.SkipWithError("perl failed");
            return;
        }
    }
}

void BM_Easy(benchmark::State& state)
{
    const int index = int(state.range(0));
    const transform::EasyValues values = easyValues();
    for (auto _ : state) {
        // As the run button does: the names split into lines, every line, one text back.
        const auto result =
            transform::RunEasyMode(index, batch::linesForEntries(names(), kLines), values);
        benchmark::DoNotOptimize(result);
    }
}

void BM_PerlEasy(benchmark::State& state)
{
    runPerl(state, perlFor(int(state.range(0))));
}

void BM_AdvancedInsert(benchmark::State& state)
{
    transform::AdvancedEditRequest request;
    request.modeA = 1;
    request.valueA1 = u"5"_s;
    request.valueC = u"X"_s;
    for (auto _ : state)
        benchmark::DoNotOptimize(transform::ApplyAdvancedEdit(kLines, names(), request));
}

void BM_PerlAdvancedInsert(benchmark::State& state)
{
    runPerl(state, u"s/^(.{4})/$1X/"_s);
}

void operations(benchmark::internal::Benchmark* b)
{
    for (int index = 0; index < transform::easy::kCount; ++index) {
        if (!transform::easy::isSeparator(index))
            b->Arg(index);
    }
}

} // namespace

BENCHMARK(BM_Easy)->Apply(operations)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PerlEasy)->Apply(operations)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AdvancedInsert)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PerlAdvancedInsert)->Unit(benchmark::kMillisecond)->UseRealTime();

QUILLET_BENCHMARK_MAIN(QCoreApplication)
