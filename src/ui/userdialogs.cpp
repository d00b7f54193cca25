#include "ui/userdialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace quillet::ui {

void QtUserDialogs::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kProgramTitle.toString(), text, QMessageBox::Ok, m_parent);
    box.exec();
}

QString QtUserDialogs::askText(const QString& prompt, const QString& title, const QString& preset) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, preset, &ok);
    return ok ? answer : QString();
}

} // namespace quillet::ui
