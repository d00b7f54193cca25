#include "ui/userdialogs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

namespace quillet::ui {
namespace {

// The program's texts break lines with CR LF; the dialogs want LF.
QString forDisplay(const QString& text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

bool installQtJapanese()
{
    // The interface is Japanese whatever the system's language, so Qt's texts are too.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void QtUserDialogs::showMessage(const QString& text, const QString& details)
{
    QMessageBox box(QMessageBox::NoIcon, kProgramTitle.toString(), forDisplay(text),
                    QMessageBox::Ok, m_parent);
    if (!details.isEmpty())
        box.setDetailedText(forDisplay(details));
    box.exec();
}

bool QtUserDialogs::showFailure(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kProgramTitle.toString(), forDisplay(text),
                    QMessageBox::Ok, m_parent);
    box.setCheckBox(new QCheckBox(kFailuresAtEndText.toString()));
    box.exec();
    return box.checkBox()->isChecked();
}

QString QtUserDialogs::askText(const QString& prompt, const QString& title, const QString& preset)
{
    bool ok = false;
    const QString answer =
        QInputDialog::getText(m_parent, title, forDisplay(prompt), QLineEdit::Normal, preset, &ok);
    return ok ? answer : QString();
}

bool QtUserDialogs::askYesNo(const QString& question)
{
    QMessageBox box(QMessageBox::NoIcon, kProgramTitle.toString(), forDisplay(question),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace quillet::ui
