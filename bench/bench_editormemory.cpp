// Peak memory and the time of each key after a large drop, through the main window against a
// bare QPlainTextEdit given the same texts and the same keys, both in one run.
//
// The sequence: a drop of N entries, 実行 (an easy-mode operation on every line), ←, →, then a
// click in the middle of the text and 20 keys there. The bare editor gets the same four texts by
// setPlainText and the same 20 keys. Peak memory can only be read per process, so the program runs
// itself once per side and round, and compares what each side reports. A key takes a fraction of a
// millisecond, at the mercy of the other core's load, so the sequence runs in several rounds,
// each side in a fresh process, and each key's figure is its median over the rounds.
//
// Run: build/default/bench/bench_editormemory [N [rounds]]   (1,000,000 lines, 5 rounds)
#include "ui/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextStream>

#include "silentdialogs.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace quillet;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kKeys = 20;

QString sourceOf(qsizetype i)
{
    return u"/home/user/videos/[Group] Series - %1 (1080p).mkv"_s.arg(i);
}

// The editor's text after the drop (prefix empty) and after 実行 (prefix "[DVD] "); with the
// keys typed at the start of line `typedLine`.
QString editorText(qsizetype lines, const QString& prefix, qsizetype typedLine = -1)
{
    QString text;
    text.reserve(lines * (prefix.size() + 32));
    for (qsizetype i = 0; i < lines; ++i) {
        if (i > 0)
            text.append(u'\n');
        if (i == typedLine)
            text.append(QString(kKeys, u'x'));
        text.append(prefix).append(u"[Group] Series - %1 (1080p)"_s.arg(i));
    }
    return text;
}

void process()
{
    QCoreApplication::processEvents();
}

double typeKey(QWidget* target)
{
    QElapsedTimer timer;
    timer.start();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, u"x"_s);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, u"x"_s);
    QCoreApplication::sendEvent(target, &release);
    // The repaint the key asked for.
    process();
    return double(timer.nsecsElapsed()) / 1e6;
}

// As a user does before typing: the middle line scrolled into view, then a click on it. The
// click matters: the window shows the line's source when the caret is placed by the mouse or
// the keys, and a caret moved only by code would leave that work to the first key.
void putCaretInTheMiddle(QPlainTextEdit& editor)
{
    editor.setTextCursor(
        QTextCursor(editor.document()->findBlockByNumber(editor.blockCount() / 2)));
    editor.ensureCursorVisible();
    process();
    const QPointF at = editor.cursorRect().center();
    QWidget* viewport = editor.viewport();
    const QPointF global = viewport->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &release);
    process();
}

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One side's report: "step <name> <ms>", "key <i> <ms>", "peak <KiB>".
void report(QTextStream& out, const char* step, double ms)
{
    out << "step " << step << ' ' << ms << '\n';
}

double timed(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

void typeKeys(QTextStream& out, QPlainTextEdit& editor)
{
    putCaretInTheMiddle(editor);
    for (int i = 1; i <= kKeys; ++i)
        out << "key " << i << ' ' << typeKey(&editor) << '\n';
}

int runBare(qsizetype lines)
{
    QTextStream out(stdout);
    QPlainTextEdit editor;
    editor.setLineWrapMode(QPlainTextEdit::NoWrap);
    editor.resize(800, 600);
    editor.show();
    process();
    // Each text is built outside the timing and let go before the keys, so that the baseline
    // holds nothing but the editor.
    const auto put = [&](const char* step, const QString& prefix) {
        const QString text = editorText(lines, prefix);
        report(out, step, timed([&] {
                   editor.setPlainText(text);
                   process();
               }));
    };
    put("drop", {});
    put("run", u"[DVD] "_s);
    put("back", {});
    put("forward", u"[DVD] "_s);
    typeKeys(out, editor);
    out << "peak " << peakKiB() << '\n';
    return 0;
}

int runForm(qsizetype lines)
{
    QTextStream out(stdout);
    QTemporaryDir data;
    bench::SilentDialogs dialogs;
    ui::Form1 form(data.path() + u'/', dialogs);
    form.show();
    process();
    {
        QStringList paths;
        paths.reserve(lines);
        for (qsizetype i = 0; i < lines; ++i)
            paths.append(sourceOf(i));
        report(out, "drop", timed([&] {
                   form.takeInFiles(paths);
                   process();
               }));
    }
    form.findChild<QListWidget*>(u"List6"_s)->setCurrentRow(0);
    const auto click = [&](const char16_t* name) {
        return timed([&] {
            form.findChild<QPushButton*>(QString::fromUtf16(name))->click();
            process();
        });
    };
    report(out, "run", click(u"Command7"));
    report(out, "back", click(u"Command3"));
    report(out, "forward", click(u"Command4"));
    auto* editor = form.findChild<QPlainTextEdit*>(u"Text1"_s);
    typeKeys(out, *editor);
    out << "peak " << peakKiB() << '\n';
    // Checked once the peak is read: two whole copies of the text for the comparison are no
    // part of what the window holds.
    if (editor->toPlainText() != editorText(lines, u"[DVD] "_s, lines / 2))
        out << "error the window's text is not the bare editor's\n";
    return 0;
}

struct Side {
    QMap<QString, double> steps;
    QList<double> keys;
    double peakMiB = 0;
};

Side runSide(const QString& mode, qsizetype lines)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {mode, QString::number(lines)});
    child.waitForFinished(-1);
    Side side;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.value(0) == "step")
            side.steps[QString::fromLatin1(parts.value(1))] = parts.value(2).toDouble();
        else if (parts.value(0) == "key")
            side.keys.append(parts.value(2).toDouble());
        else if (parts.value(0) == "peak")
            side.peakMiB = parts.value(1).toDouble() / 1024;
        else if (!line.isEmpty())
            std::printf("%s\n", line.constData());
    }
    return side;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Each step's and each key's median over the rounds, and the highest peak of any round.
Side medianOf(const QList<Side>& rounds)
{
    Side side;
    for (const QString& step : rounds.front().steps.keys()) {
        QList<double> times;
        for (const Side& round : rounds)
            times.append(round.steps.value(step));
        side.steps[step] = median(times);
    }
    for (int i = 0; i < kKeys; ++i) {
        QList<double> times;
        for (const Side& round : rounds)
            times.append(round.keys[i]);
        side.keys.append(median(times));
    }
    for (const Side& round : rounds)
        side.peakMiB = std::max(side.peakMiB, round.peakMiB);
    return side;
}

int compare(qsizetype lines, int rounds)
{
    QList<Side> bareRounds;
    QList<Side> formRounds;
    // The sides take turns, so that a change of the machine's load falls on both.
    for (int round = 0; round < rounds; ++round) {
        bareRounds.append(runSide(u"--bare"_s, lines));
        formRounds.append(runSide(u"--form"_s, lines));
        if (bareRounds.last().keys.size() != kKeys || formRounds.last().keys.size() != kKeys) {
            std::printf("a side did not finish\n");
            return 1;
        }
    }
    const Side bare = medianOf(bareRounds);
    const Side form = medianOf(formRounds);
    std::printf("%lld lines: drop, 実行, ←, →, %d keys; medians of %d rounds\n",
                static_cast<long long>(lines), kKeys, rounds);
    std::printf("%-8s %10s %10s %7s\n", "step", "bare ms", "window ms", "ratio");
    for (const QString& step : {u"drop"_s, u"run"_s, u"back"_s, u"forward"_s})
        std::printf("%-8s %10.1f %10.1f %7.2f\n", qPrintable(step), bare.steps[step],
                    form.steps[step], form.steps[step] / bare.steps[step]);
    for (int i = 0; i < kKeys; ++i)
        std::printf("key %-4d %10.3f %10.3f %7.2f\n", i + 1, bare.keys[i], form.keys[i],
                    form.keys[i] / bare.keys[i]);
    // What a user would feel: whether the first keys after a drop are slower than the later
    // ones, in the same window.
    const QList<double> first = form.keys.first(11);
    const double firstMax = *std::max_element(first.begin(), first.end());
    const double key20 = form.keys[kKeys - 1];
    const double lastMedian = median(form.keys.sliced(15));
    std::printf("window keys 1-11: slowest %.3f ms (key %lld) = %.2f x key 20 (%.3f ms), "
                "= %.2f x the median of keys 16-20 (%.3f ms)\n",
                firstMax, std::max_element(first.begin(), first.end()) - first.begin() + 1,
                firstMax / key20, key20, firstMax / lastMedian, lastMedian);
    // A first key after any large step pays for cold caches and for glyphs not drawn yet at
    // the caret's position, in Qt's own editor as much as in the window. What the window's own
    // work adds to the first key is the difference of the two sides' excess over key 20.
    const double bareKey20 = bare.keys[kKeys - 1];
    std::printf("key 1 over key 20: window +%.3f ms, bare editor +%.3f ms (%.2f x its key 20)\n",
                form.keys[0] - key20, bare.keys[0] - bareKey20, bare.keys[0] / bareKey20);
    std::printf("peak memory (highest round): bare %.0f MiB, window %.0f MiB, ratio %.2f\n",
                bare.peakMiB, form.peakMiB, form.peakMiB / bare.peakMiB);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    // A side runs as "--bare N" or "--form N"; the comparison as "[N [rounds]]".
    const bool side = args.value(1).startsWith(u"--"_s);
    const qsizetype given = args.value(side ? 2 : 1).toLongLong();
    const qsizetype lines = given > 0 ? given : 1'000'000;
    if (args.value(1) == u"--bare")
        return runBare(lines);
    if (args.value(1) == u"--form")
        return runForm(lines);
    const int rounds = args.value(2).toInt();
    return compare(lines, rounds > 0 ? rounds : 5);
}
