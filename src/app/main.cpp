#include "batch/startupvalues.h"
#include "commandline.h"
#include "datafile/datafolder.h"
#include "frontwindow.h"
#include "instancechannel.h"
#include "pathintake.h"
#include "qtarguments.h"
#include "recipe/recipebook.h"
#include "recipecommand.h"
#include "rename/noreplacerename.h"
#include "socketfolder.h"
#include "terminationwatcher.h"
#include "transform/codecrewrite.h"
#include "ui/form1.h"
#include "ui/japanesefont.h"
#include "ui/userdialogs.h"
#include "verifycommand.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <unistd.h>

namespace {

using quillet::app::CommandLine;

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quillet-%1.png").arg(size), QSize(size, size));
    return icon;
}

CommandLine readCommandLine(int argc, const char* const argv[])
{
    QByteArray workingFolder(4096, Qt::Uninitialized);
    if (!::getcwd(workingFolder.data(), size_t(workingFolder.size())))
        workingFolder = "/";
    workingFolder.truncate(qstrlen(workingFolder.constData()));
    // argv stays for the whole run: the paths point into it, not copied, which counts with
    // 100,000 of them.
    // A program started with an empty argv (execve allows it) has not even its own name.
    const int skipped = std::min(argc, 1);
    return quillet::app::parseCommandLine(argc - skipped, argv + skipped, workingFolder);
}

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

void reportMissing(const QString& path)
{
    print(stderr, QStringLiteral("見つかりません: %1\n").arg(path));
}

// Items named on the command line that are not there are said on standard error, as a shell
// user expects; the rest go to the window.
QStringList existingOrReported(const QStringList& paths)
{
    QStringList existing;
    existing.reserve(paths.size());
    for (const QString& path : paths) {
        if (quillet::rename::itemExists(path))
            existing.append(path);
        else
            reportMissing(path);
    }
    return existing;
}

// What this start asks of the window, with what its launcher gave it for taking the focus.
quillet::app::HandOver handOverOf(const CommandLine& line, const QStringList& paths)
{
    return {line.action == CommandLine::Action::UndoLastRun,
            paths,
            qgetenv("DESKTOP_STARTUP_ID"),
            qgetenv("XDG_ACTIVATION_TOKEN"),
            line.action == CommandLine::Action::ShowHistory,
            line.recipe};
}

// What a recipe reads besides its steps, from the program's data folder.
quillet::recipe::ReplayValues replayValuesOf(const QString& dataFolder)
{
    const quillet::batch::StartupValues startup = quillet::batch::loadStartupValues(dataFolder);
    return {startup.crc16Template, startup.crc32Template, startup.codecTemplate,
            quillet::transform::ProfileFile::load(
                QString(dataFolder).append(quillet::transform::kCodecChangeFile))};
}

// Hands the request to the window already open, if there is one of this user. Before the
// window system is started this needs only an event-less core application of its own. The
// paths are checked only when a window answers, since that start ends here and its terminal
// is told what is missing now; a start that opens the window checks them once it is shown.
bool handToOpenWindow(const QString& socketName, const CommandLine& line,
                      quillet::app::QtArguments& qtArguments)
{
    if (socketName.isEmpty())
        return false;
    std::optional<QCoreApplication> core;
    if (!QCoreApplication::instance())
        core.emplace(qtArguments.argc(), qtArguments.argv());
    quillet::app::InstanceChannel channel(socketName);
    if (!channel.runningInstanceAnswers())
        return false;
    QStringList paths;
    paths.reserve(line.pathArguments.size());
    for (const char* argument : line.pathArguments)
        paths.append(quillet::app::pathOfArgument(argument, line.workingFolder));
    return channel.handToRunningInstance(handOverOf(line, existingOrReported(paths)));
}

} // namespace

int main(int argc, char* argv[])
{
    // Where this user's files are (the recipes, the journal) follows from the name.
    QCoreApplication::setApplicationName(QStringLiteral("Quillet"));
    // Help and version are answered before any window system is needed.
    const CommandLine early = readCommandLine(argc, argv);
    if (early.action == CommandLine::Action::ShowHelp) {
        print(stdout, quillet::app::helpText());
        return 0;
    }
    if (early.action == CommandLine::Action::ShowVersion) {
        print(stdout, QStringLiteral("Quillet %1\n").arg(QStringLiteral(QUILLET_VERSION)));
        return 0;
    }
    // So is a line with a problem: Qt's own options are none, and without a display the window
    // system would end the program with its own message instead.
    if (early.action == CommandLine::Action::Invalid) {
        print(stderr, early.problem + u'\n' + quillet::app::helpText());
        return 2;
    }
    // Checking the names' checksums needs no window, and no window that is open.
    if (early.action == CommandLine::Action::VerifyNames) {
        const auto write = [](std::FILE* stream) {
            return [stream](const QByteArray& bytes) {
                std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
                std::fflush(stream);
            };
        };
        return quillet::app::verifyNamedChecksums(early.pathArguments, early.workingFolder,
                                                  write(stdout), write(stderr));
    }
    // A recipe's names are printed without a window (printRecipe says an unknown recipe); an
    // unknown recipe ends a start for the window too.
    if (!early.recipe.isEmpty() && early.action != CommandLine::Action::PrintRecipe) {
        const quillet::recipe::FoundRecipe found =
            quillet::recipe::findRecipe(quillet::recipe::recipesFileOfThisUser(), early.recipe);
        if (!found.recipe) {
            print(stderr, found.problem + u'\n');
            return 2;
        }
    }
    if (early.action == CommandLine::Action::PrintRecipe) {
        const QCoreApplication core(argc, argv);
        const auto write = [](std::FILE* stream) {
            return [stream](const QByteArray& bytes) {
                std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
            };
        };
        return quillet::app::printRecipe(quillet::recipe::recipesFileOfThisUser(), early.recipe,
                                         early.pathArguments, early.workingFolder,
                                         replayValuesOf(quillet::datafile::resolveDataFolder(
                                             QCoreApplication::applicationDirPath())),
                                         write(stdout), write(stderr));
    }

    quillet::app::QtArguments qtArguments(argc, argv);
    const quillet::app::SocketLocation socket = quillet::app::instanceSocketLocation();
    // A terminal over ssh or a script has no display: the files still go to the window that is
    // open, and only when there is none is a display needed. A line with Qt's own options
    // (-platform, …) is read after QApplication has taken them out.
    {
        if (handToOpenWindow(socket.path, early, qtArguments))
            return 0;
        const QByteArray platform =
            early.qtPlatform.isEmpty() ? qgetenv("QT_QPA_PLATFORM") : early.qtPlatform;
        if (!quillet::app::displayReachable(platform, qgetenv("DISPLAY"),
                                            qgetenv("WAYLAND_DISPLAY"))) {
            print(stderr, QStringLiteral("Quillet: 画面に接続できないため、ウィンドウを開けません"
                                         "（DISPLAY も WAYLAND_DISPLAY も設定されていません）。"
                                         "開いている Quillet のウィンドウもありません。\n"));
            return 3;
        }
    }

    // QApplication takes out the options that are its own (-style, -platform, …); the rest is
    // ours. The line is read again only when Qt took something out of it.
    QApplication app(qtArguments.argc(), qtArguments.argv());
    const CommandLine line = qtArguments.applyTo(argc, argv) ? readCommandLine(argc, argv) : early;
    if (line.action == CommandLine::Action::Invalid) {
        print(stderr, line.problem + u'\n' + quillet::app::helpText());
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("quillet"));

    quillet::app::InstanceChannel channel(socket.path);
    if (socket.path.isEmpty())
        print(
            stderr,
            QStringLiteral("Quillet: 受け渡し用のソケットを置けません: %1\n").arg(socket.problem));
    else if (!channel.listen())
        print(stderr, QStringLiteral("Quillet: 別の Quillet と通信できません。\n"));

    QApplication::setWindowIcon(programIcon());
    QApplication::setFont(quillet::ui::japaneseFont(9));
    // Without the translation Qt's buttons read OK/Cancel; the program still works.
    quillet::ui::installQtJapanese();

    const QString dataFolder =
        quillet::datafile::resolveDataFolder(QCoreApplication::applicationDirPath());

    quillet::ui::QtUserDialogs dialogs;
    quillet::ui::Form1 window(dataFolder, dialogs);
    dialogs.setParent(&window);

    TerminationWatcher termination;
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &window,
                     &QWidget::close);

    std::function<void(const quillet::app::HandOver&)> takeRequest;
    // Takes in paths already checked, and the undo or history request.
    takeRequest = [&window, &takeRequest](const quillet::app::HandOver& handOver) {
        // Closed meanwhile: Quillet is ending, and taking in would show the window again.
        if (!window.isVisible())
            return;
        // A run renames what it listed and takes nothing in: what arrives meanwhile waits for
        // its end instead of being lost.
        if (window.isRenaming()) {
            QTimer::singleShot(200, &window, [&takeRequest, handOver] { takeRequest(handOver); });
            return;
        }
        if (!handOver.paths.isEmpty())
            window.takeInFiles(handOver.paths);
        if (!handOver.recipe.isEmpty())
            window.runRecipe(handOver.recipe);
        if (handOver.undoLastRun)
            QMetaObject::invokeMethod(&window, &quillet::ui::Form1::undoLastRun,
                                      Qt::QueuedConnection);
        if (handOver.showHistory)
            QMetaObject::invokeMethod(&window, &quillet::ui::Form1::showRecentRuns,
                                      Qt::QueuedConnection);
        quillet::app::bringToFront(window, handOver.startupId, handOver.activationToken);
    };
    // Paths are checked after the window is shown, a piece at a time, so that a start with a
    // hundred thousand of them shows its window as soon as an empty one; requests keep their
    // order. What arrives on the socket is checked like a drop: only items that exist are
    // taken in, silently.
    quillet::app::PathIntake intake(quillet::rename::itemExists);
    QObject::connect(&intake, &quillet::app::PathIntake::missing, &reportMissing);
    QObject::connect(
        &intake, &quillet::app::PathIntake::checked, &window,
        [&takeRequest](const quillet::app::HandOver& handOver) { takeRequest(handOver); });
    QObject::connect(
        &channel, &quillet::app::InstanceChannel::handedOver, &intake,
        [&intake](const quillet::app::HandOver& handOver) { intake.enqueue(handOver, false); });

    window.show();
    const quillet::app::HandOver request = handOverOf(line, {});
    if (!line.pathArguments.isEmpty() || request.undoLastRun || request.showHistory)
        intake.enqueueArguments(request, line.pathArguments, line.workingFolder);
    return QApplication::exec();
}
