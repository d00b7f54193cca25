// Typing and scrolling in the name editor. A keystroke through the main window (names text kept
// in step, every key recorded in the history, caret displays refreshed) against the same key in
// a bare QPlainTextEdit holding the same text; the name editor with and without its pairing
// gutter, typing and scrolling. Each key and scroll step includes the repaint it causes.
// Run: build/default/bench/bench_editor
#include "batch/editortext.h"
#include "ui/form1.h"
#include "ui/nameeditor.h"
#include "ui/userdialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>

#include "benchmain.h"
#include "silentdialogs.h"

#include <memory>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

using bench::SilentDialogs;

QStringList makeSources(qsizetype count)
{
    QStringList sources;
    sources.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        sources.append(u"/home/user/videos/[Group] Series - %1 (1080p).mkv"_s.arg(i));
    return sources;
}

// The editor text of the names of makeSources(lines), one per paragraph.
QString pastedNames(qsizetype lines)
{
    QString text;
    for (qsizetype i = 0; i < lines; ++i) {
        if (i > 0)
            text.append(u'\n');
        text.append(u"[Group] Series - %1 (1080p)"_s.arg(i));
    }
    return text;
}

void putCaretInTheMiddle(QPlainTextEdit& editor)
{
    QTextCursor cursor(editor.document()->findBlockByNumber(editor.blockCount() / 2));
    editor.setTextCursor(cursor);
}

void typeKey(QWidget* target)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, u"x"_s);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, u"x"_s);
    QCoreApplication::sendEvent(target, &release);
    // The repaint the key asked for.
    QCoreApplication::processEvents();
}

void showAndWait(QWidget& widget)
{
    widget.resize(800, 600);
    widget.show();
    QCoreApplication::processEvents();
}

void BM_FormKeystroke(benchmark::State& state)
{
    static QTemporaryDir data;
    SilentDialogs dialogs;
    ui::Form1 form(data.path() + u'/', dialogs);
    form.show();
    // Dropped files: the names come in as one replacement of the editor's text.
    form.takeInFiles(makeSources(state.range(0)));
    auto* editor = form.findChild<QPlainTextEdit*>(u"Text1"_s);
    putCaretInTheMiddle(*editor);
    QCoreApplication::processEvents();
    // Measured here is the steady state once the history is full; BM_FormFirstKeystrokes times
    // the first keys, which fill it.
    for (int i = 0; i < 12; ++i)
        typeKey(editor);
    for (auto _ : state)
        typeKey(editor);
    if (form.names().size() < state.range(0))
        state.SkipWithError("the names text fell behind the editor");
}

void BM_BareKeystroke(benchmark::State& state)
{
    QPlainTextEdit editor;
    editor.setLineWrapMode(QPlainTextEdit::NoWrap);
    editor.setPlainText(pastedNames(state.range(0)));
    showAndWait(editor);
    putCaretInTheMiddle(editor);
    for (auto _ : state)
        typeKey(&editor);
}

// The first keys after a drop, while the history fills. They once cost several times a later
// key, each writing a whole copy of the text into memory never touched before.
void BM_FormFirstKeystrokes(benchmark::State& state)
{
    static QTemporaryDir data;
    SilentDialogs dialogs;
    for (auto _ : state) {
        state.PauseTiming();
        auto form = std::make_unique<ui::Form1>(data.path() + u'/', dialogs);
        form->show();
        form->takeInFiles(makeSources(state.range(0)));
        auto* editor = form->findChild<QPlainTextEdit*>(u"Text1"_s);
        putCaretInTheMiddle(*editor);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        for (int i = 0; i < 11; ++i)
            typeKey(editor);
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
    state.counters["seconds per key"] = benchmark::Counter(
        11, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// What every key cost before: the whole editor text converted to the names text.
void BM_WholeTextConversion(benchmark::State& state)
{
    const QString raw = batch::toEditorText(pastedNames(state.range(0)).replace(u'\n', u"\r\n"_s));
    for (auto _ : state)
        benchmark::DoNotOptimize(batch::fromEditorText(raw));
}

// The name editor at 100,000 lines with (1) or without (0) its gutter; every line has an entry.
std::unique_ptr<ui::NameEditor> nameEditor(bool withGutter, const QStringList& sources)
{
    auto editor = std::make_unique<ui::NameEditor>();
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    if (withGutter)
        editor->setPairingModel({[&sources]() -> const QStringList& { return sources; }, u'/'});
    editor->setPlainText(pastedNames(sources.size()));
    showAndWait(*editor);
    putCaretInTheMiddle(*editor);
    return editor;
}

void BM_GutterKeystroke(benchmark::State& state)
{
    const QStringList sources = makeSources(100'000);
    const auto editor = nameEditor(state.range(0) != 0, sources);
    for (auto _ : state)
        typeKey(editor.get());
}

void BM_GutterScroll(benchmark::State& state)
{
    const QStringList sources = makeSources(100'000);
    const auto editor = nameEditor(state.range(0) != 0, sources);
    QScrollBar* bar = editor->verticalScrollBar();
    int step = 0;
    for (auto _ : state) {
        // A page down, far enough that every visible row is painted anew.
        step = (step + 1) % 1000;
        bar->setValue(step * (bar->maximum() / 1000));
        QCoreApplication::processEvents();
    }
}

} // namespace

BENCHMARK(BM_FormKeystroke)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(BM_BareKeystroke)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(BM_FormFirstKeystrokes)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_WholeTextConversion)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(BM_GutterKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_GutterScroll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(0.5);

QUILLET_BENCHMARK_MAIN(QApplication)
