// Dropping many files and restoring the names, through the real main window, against the
// bare editor widget taking the same text. Run: build/default/bench/bench_intake
#include "ui/form1.h"
#include "ui/userdialogs.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "benchmain.h"
#include "silentdialogs.h"

#include <memory>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

using bench::SilentDialogs;

QStringList makePaths(qsizetype count)
{
    QStringList paths;
    paths.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        paths.append(u"/home/user/videos/[Group] Some Series - %1 (1080p) [ABCD1234].mkv"_s.arg(i));
    return paths;
}

QString editorTextOf(const QStringList& paths)
{
    QStringList names;
    names.reserve(paths.size());
    for (const QString& path : paths)
        names.append(path.mid(path.lastIndexOf(u'/') + 1).chopped(4));
    return names.join(u'\n');
}

QTemporaryDir& dataFolder()
{
    static QTemporaryDir dir;
    return dir;
}

void BM_BareSetPlainText(benchmark::State& state)
{
    const QString text = editorTextOf(makePaths(state.range(0)));
    QPlainTextEdit editor;
    for (auto _ : state) {
        editor.setPlainText(text);
        benchmark::DoNotOptimize(editor.document());
    }
    state.SetComplexityN(state.range(0));
}

void BM_DropFiles(benchmark::State& state)
{
    const QStringList paths = makePaths(state.range(0));
    SilentDialogs dialogs;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<ui::Form1>(dataFolder().path() + u'/', dialogs);
        state.ResumeTiming();
        window->takeInFiles(paths);
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}

void BM_RestoreNames(benchmark::State& state)
{
    SilentDialogs dialogs;
    ui::Form1 window(dataFolder().path() + u'/', dialogs);
    window.takeInFiles(makePaths(state.range(0)));
    auto* restore = window.findChild<QPushButton*>(u"Command5"_s);
    auto* editor = window.findChild<QPlainTextEdit*>(u"Text1"_s);
    for (auto _ : state) {
        state.PauseTiming();
        editor->setPlainText(u"edited"_s);
        state.ResumeTiming();
        restore->click();
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_BareSetPlainText)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DropFiles)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestoreNames)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

QUILLET_BENCHMARK_MAIN(QApplication)
