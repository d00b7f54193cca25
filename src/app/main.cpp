#include "datafile/datafolder.h"
#include "terminationwatcher.h"
#include "ui/form1.h"
#include "ui/japanesefont.h"
#include "ui/userdialogs.h"

#include <QApplication>
#include <QIcon>

namespace {

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quillet-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setDesktopFileName(QStringLiteral("quillet"));
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

    window.show();
    return QApplication::exec();
}
