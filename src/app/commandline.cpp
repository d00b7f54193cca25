#include "commandline.h"

#include "batch/nativepath.h"

#include <QDir>

namespace quillet::app {

using namespace Qt::Literals::StringLiterals;

namespace {

// Whether the argument is one of the options Qt's window system takes for itself (written with
// one dash or two), and whether the argument after it is its value.
enum class QtOption { None, Flag, WithValue };

QtOption qtOptionOf(QByteArrayView argument)
{
    QByteArrayView name = argument.sliced(argument.startsWith("--") ? 2 : 1);
    const bool valueAttached = name.contains('=');
    if (valueAttached)
        name = name.first(name.indexOf('='));
    static constexpr const char* kFlags[] = {"reverse", "widgetcount", "nograb",        "dograb",
                                             "sync",    "testability", "nocrashhandler"};
    static constexpr const char* kWithValue[] = {"platform",
                                                 "platformpluginpath",
                                                 "platformtheme",
                                                 "plugin",
                                                 "qmljsdebugger",
                                                 "qwindowgeometry",
                                                 "qwindowicon",
                                                 "qwindowtitle",
                                                 "session",
                                                 "style",
                                                 "stylesheet",
                                                 "display",
                                                 "geometry",
                                                 "name",
                                                 "title",
                                                 "visual",
                                                 "fn",
                                                 "font",
                                                 "bg",
                                                 "background",
                                                 "fg",
                                                 "foreground",
                                                 "btn",
                                                 "button",
                                                 "im",
                                                 "inputstyle",
                                                 "ncols",
                                                 "cmap",
                                                 "dialogs",
                                                 "graphicssystem"};
    for (const char* flag : kFlags) {
        if (name == flag)
            return QtOption::Flag;
    }
    for (const char* option : kWithValue) {
        if (name == option)
            return valueAttached ? QtOption::Flag : QtOption::WithValue;
    }
    return QtOption::None;
}

} // namespace

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
    bool verify = false;
    bool recipe = false;
    bool print = false;
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
            else if (argument == "--verify")
                verify = true;
            else if (argument == "--print")
                print = true;
            else if (argument == "--recipe") {
                recipe = true;
                if (i + 1 < count)
                    line.recipe = QString::fromLocal8Bit(arguments[++i]);
            } else if (const QtOption qt = qtOptionOf(argument); qt != QtOption::None) {
                if (qt == QtOption::WithValue && i + 1 < count && arguments[i + 1][0] != '-') {
                    ++i;
                    if (argument.endsWith("-platform"))
                        line.qtPlatform = arguments[i];
                }
            } else if (line.problem.isEmpty())
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
    } else if (recipe || print) {
        if (!recipe)
            line.problem = u"--print は --recipe と一緒に使います"_s;
        else if (line.recipe.trimmed().isEmpty())
            line.problem = u"--recipe には手順の名前を指定してください"_s;
        else if (verify || undo || history)
            line.problem = u"--recipe は --verify、--undo-last、--history と一緒には使えません"_s;
        else if (line.pathArguments.isEmpty())
            line.problem = u"--recipe には手順をかけるファイルかフォルダーを指定してください"_s;
        if (!line.problem.isEmpty())
            line.action = CommandLine::Action::Invalid;
        else if (print)
            line.action = CommandLine::Action::PrintRecipe;
    } else if (verify) {
        if (undo || history)
            line.problem = u"--verify は --undo-last や --history と一緒には使えません"_s;
        else if (line.pathArguments.isEmpty())
            line.problem = u"--verify には検証するファイルかフォルダーを指定してください"_s;
        line.action = line.problem.isEmpty() ? CommandLine::Action::VerifyNames
                                             : CommandLine::Action::Invalid;
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
           u"      --history    最近のリネームの一覧を開きます（どのリネームも元に戻せます）\n"
           u"      --verify ファイルまたはフォルダー…\n"
           u"                   名前の角かっこか丸かっこの中にある 8 桁の 16 進数（例 "
           u"[A1B2C3D4]）を\n"
           u"                   ファイルの CRC-32 と照らし合わせます。ウィンドウは開きません。\n"
           u"                   "
           u"フォルダーは中のファイルを順に検証します（リンクはたどりません）。\n"
           u"                   1 行に 1 ファイル: OK / 不一致 <名前の値> <実際の値> / なし /\n"
           u"                   エラー "
           u"<理由>、タブのあとにファイル。集計は標準エラー出力に出ます。\n"
           u"                   終了コード: 0 すべて一致、1 不一致か読めないファイルあり、2 "
           u"使い方の誤り\n"
           u"      --recipe 名前 ファイルまたはフォルダー…\n"
           u"                   保存した手順（名前のコンテキストメニューの「手順を保存...」）を\n"
           u"                   "
           u"ファイルの名前にかけてウィンドウを開きます。確認してからリネームします。\n"
           u"      --recipe 名前 --print ファイルまたはフォルダー…\n"
           u"                   ウィンドウを開かず、何もリネームせずに、1 行に 1 ファイルで\n"
           u"                   元のパス、タブ、新しいパスを出力します。\n"
           u"                   ない手順の名前は終了コード 2、見つからないファイルがあると 1 です。\n"_s;
}

} // namespace quillet::app
