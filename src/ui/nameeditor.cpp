#include "ui/nameeditor.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace quillet::ui {

NameEditor::NameEditor(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setAcceptDrops(true);
}

void NameEditor::dragEnterEvent(QDragEnterEvent* event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void NameEditor::dragMoveEvent(QDragMoveEvent* event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void NameEditor::dropEvent(QDropEvent* event)
{
    QStringList paths;
    if (const QMimeData* data = event->mimeData(); data && data->hasUrls()) {
        const QList<QUrl> urls = data->urls();
        paths.reserve(urls.size());
        for (const QUrl& url : urls) {
            if (url.isLocalFile())
                // cleanPath drops a trailing separator that some file managers put after a folder.
                paths.append(QDir::toNativeSeparators(QDir::cleanPath(url.toLocalFile())));
        }
    }
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
