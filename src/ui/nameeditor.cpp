#include "ui/nameeditor.h"

#include "batch/localpaths.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace quillet::ui {

NameEditor::NameEditor(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setAcceptDrops(true);
}

void NameEditor::setAcceptingFiles(bool accepting)
{
    m_acceptingFiles = accepting;
}

void NameEditor::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_acceptingFiles) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void NameEditor::dragMoveEvent(QDragMoveEvent* event)
{
    if (!m_acceptingFiles) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void NameEditor::dropEvent(QDropEvent* event)
{
    if (!m_acceptingFiles) {
        event->ignore();
        return;
    }
    QStringList paths;
    if (const QMimeData* data = event->mimeData(); data && data->hasUrls())
        paths = batch::localPathsOf(data->urls());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit filesDropped(paths);
}

void NameEditor::keyReleaseEvent(QKeyEvent* event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    emit keyReleased();
}

void NameEditor::mousePressEvent(QMouseEvent* event)
{
    QPlainTextEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        emit leftButtonPressed();
}

void NameEditor::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit leftButtonReleased();
}

} // namespace quillet::ui
