#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace quillet::app {

// What the program was asked to do on its command line.
struct CommandLine {
    enum class Action {
        OpenWindow,
        ShowHelp,
        ShowVersion,
        UndoLastRun,
        ShowHistory,
        VerifyNames, // check the checksums the files' names carry, without a window
        PrintRecipe, // the names a recipe gives the files, printed without a window
        Invalid
    };
    Action action = Action::OpenWindow;
    // The files and folders to take in, as given (pathOfArgument makes each a path), pointing
    // into the arguments that were read, which must outlive them (argv does). Turning 100,000
    // of them into paths takes a noticeable while, which is spent after the window is shown;
    // even copying them before it was: on a virtual machine each page a list of them first
    // touches costs a fault of several microseconds, and two lists of 24-byte QByteArrays took
    // 20 ms before the window could appear.
    QList<const char*> pathArguments;
    QByteArray workingFolder;
    // For Invalid: what was wrong, for standard error.
    QString problem;
    // The value of Qt's -platform option, when the line has one.
    QByteArray qtPlatform;
    // --recipe NAME: run over the files in the window (OpenWindow), or printed (PrintRecipe).
    QString recipe;
};

// Reads the raw arguments (argv without the program's name). Paths are taken byte for byte, so
// a name that is not UTF-8 still names its file. Options: --help/-h, --version/-v, --undo-last,
// --history (the window of recent runs; with --undo-last, the undo wins), --verify (with at
// least one file, and no other option), --recipe NAME (with files; --print prints instead of
// opening the window); "--" ends the options. Help and version win over
// anything else. Qt's own options (-style, -platform, …) are no problem, and their values no
// paths; QApplication takes them out before the line is read again for a window.
[[nodiscard]] CommandLine parseCommandLine(int count, const char* const arguments[],
                                           const QByteArray& workingFolder);

// Whether Qt can open a window: `platform` is QT_QPA_PLATFORM (a list separated by ";", or
// empty for Qt's choice). The X11 platform needs DISPLAY, Wayland needs WAYLAND_DISPLAY; the
// others (offscreen, vnc, eglfs, …) need neither. Without any, QApplication would abort.
[[nodiscard]] bool displayReachable(const QByteArray& platform, const QByteArray& display,
                                    const QByteArray& waylandDisplay);

// A path argument as an absolute, clean path with its exact bytes (batch/nativepath.h); a
// relative one counts from workingFolder.
[[nodiscard]] QString pathOfArgument(const char* argument, const QByteArray& workingFolder);

// The text --help prints.
[[nodiscard]] QString helpText();

} // namespace quillet::app
