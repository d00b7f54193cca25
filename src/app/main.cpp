#include "ui/form1.h"
#include "ui/japanesefont.h"
#include "ui/userdialogs.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setFont(quillet::ui::japaneseFont(9));

    // Every data file lies next to the program.
    QString programFolder = QCoreApplication::applicationDirPath();
    if (!programFolder.endsWith(u'/'))
        programFolder += u'/';
    programFolder = QDir::toNativeSeparators(programFolder);

    quillet::ui::QtUserDialogs dialogs;
    quillet::ui::Form1 window(programFolder, dialogs);
    dialogs.setParent(&window);
    window.show();
    return QApplication::exec();
}
