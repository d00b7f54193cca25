#include "commandline.h"

#include "batch/nativepath.h"

#include <QDir>

namespace quillet::app {

using namespace Qt::Literals::StringLiterals;

CommandLine parseCommandLine(int count, const char* const arguments[],
                             const QByteArray& workingFolder)
{
    CommandLine line;
    line.workingFolder = workingFolder;
    line.pathArguments.reserve(count);
    bool optionsEnded = false;
    bool help = false;
    bool version = false;
    bool undo = false;
    bool history = false;
    for (qsizetype i = 0; i < count; ++i) {
        const QByteArrayView argument(arguments[i]);
        if (!optionsEnded && argument.startsWith('-') && argument.size() > 1) {
            if (argument == "--")
                optionsEnded = true;
            else if (argument == "--help" || argument == "-h")
                help = true;
            else if (argument == "--version" || argument == "-v")
                version = true;
            else if (argument == "--undo-last")
                undo = true;
            else if (argument == "--history")
                history = true;
            else if (line.problem.isEmpty())
                line.problem = u"不明なオプションです: "_s + QString::fromLocal8Bit(argument);
            continue;
        }
        if (argument.isEmpty())
            continue;
        line.pathArguments.append(argument.data());
    }
    // Asking for help is always answered, whatever else the line holds.
    if (help || version) {
        line.action = help ? CommandLine::Action::ShowHelp : CommandLine::Action::ShowVersion;
        line.problem.clear();
    } else if (!line.problem.isEmpty()) {
        line.action = CommandLine::Action::Invalid;
    } else if (undo) {
        line.action = CommandLine::Action::UndoLastRun;
    } else if (history) {
        line.action = CommandLine::Action::ShowHistory;
    }
    return line;
}

QString pathOfArgument(const char* argument, const QByteArray& workingFolder)
{
    const QByteArray bytes = QByteArray::fromRawData(argument, qstrlen(argument));
    if (bytes.startsWith('/'))
        return QDir::cleanPath(batch::pathFromNativeBytes(bytes));
    return QDir::cleanPath(batch::pathFromNativeBytes(workingFolder + '/' + bytes));
}

bool displayReachable(const QByteArray& platform, const QByteArray& display,
                      const QByteArray& waylandDisplay)
{
    if (platform.trimmed().isEmpty())
        return !display.isEmpty() || !waylandDisplay.isEmpty();
    for (const QByteArray& entry : platform.split(';')) {
        const QByteArray name = entry.trimmed().split(':').first();
        if (name == "xcb") {
            if (!display.isEmpty())
                return true;
        } else if (name.startsWith("wayland")) {
            if (!waylandDisplay.isEmpty())
                return true;
        } else if (!name.isEmpty()) {
            return true;
        }
    }
    return false;
}

QString helpText()
{
    return u"使い方: quillet [オプション] [ファイルまたはフォルダー…]\n"
           u"\n"
           u"ファイルやフォルダーをまとめてリネームします。指定したファイルは、ドロップした"
           u"ときと同じように一覧に加わります。Quillet が既に開いているときは、そのウィンドウに"
           u"加わります。\n"
           u"\n"
           u"  -h, --help       この説明を表示して終わります\n"
           u"  -v, --version    バージョンを表示して終わります\n"
           u"      --undo-last  直前のリネームを元に戻す確認画面を開きます\n"
           u"      --history    最近のリネームの一覧を開きます（どのリネームも元に戻せます）\n"_s;
}

} // namespace quillet::app
