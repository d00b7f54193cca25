#include "ui/nameeditor.h"

#include "batch/localpaths.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTextBlock>

namespace quillet::ui {

NameEditor::NameEditor(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setAcceptDrops(true);
    // A name never holds a typed TAB; the key leaves the editor like in every other box.
    setTabChangesFocus(true);
}

void NameEditor::setPairingModel(PairingModel model)
{
    delete m_gutter;
    m_gutter = new PairingGutter(this, std::move(model));
    connect(this, &QPlainTextEdit::blockCountChanged, this, &NameEditor::updateGutterWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &NameEditor::updateGutter);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &NameEditor::describeCaretLine);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &NameEditor::describeCaretLine);
    m_gutter->show();
    pairingChanged();
}

void NameEditor::pairingChanged()
{
    if (!m_gutter)
        return;
    updateGutterWidth();
    m_gutter->update();
    describeCaretLine();
}

void NameEditor::describeCaretLine()
{
    // The numbers and marks of the gutter are drawn, not read out: a screen reader hears the
    // caret's line and what the gutter's tooltip says about it ("3行目: /path/entry3.mkv").
    const int line = textCursor().blockNumber();
    const QString about = m_gutter->toolTipAt(line);
    const QString description =
        about.isEmpty() ? QString() : QString::number(line + 1) + QStringLiteral("行目: ") + about;
    if (description != accessibleDescription())
        setAccessibleDescription(description);
}

void NameEditor::updateGutterWidth()
{
    const int width = m_gutter->neededWidth();
    if (viewportMargins().left() != width) {
        setViewportMargins(width, 0, 0, 0);
        placeGutter();
    }
    // The marks on the last rows follow the line count even where no text moved.
    m_gutter->update();
}

void NameEditor::updateGutter(const QRect& rect, int dy)
{
    if (dy != 0)
        m_gutter->scroll(0, dy);
    else
        m_gutter->update(0, rect.y(), m_gutter->width(), rect.height());
}

void NameEditor::placeGutter()
{
    const QRect inner = contentsRect();
    m_gutter->setGeometry(inner.left(), inner.top(), viewportMargins().left(), inner.height());
}

void NameEditor::resizeEvent(QResizeEvent* event)
{
    // Qt's editor lays out every paragraph again when its viewport changes width, wrapped or
    // not, and keeps a layout object for each: with a million names, hundreds of megabytes and
    // a second's work for the first step of moving the window's edge, a tenth of one for every
    // step after. A line that never wraps does not depend on the width, so the editor hears only
    // of a change of height; its horizontal scroll bar still follows the widest line laid out.
    if (lineWrapMode() == NoWrap && event->size().width() != event->oldSize().width()) {
        QResizeEvent heightOnly(event->size(),
                                QSize(event->size().width(), event->oldSize().height()));
        QPlainTextEdit::resizeEvent(&heightOnly);
    } else {
        QPlainTextEdit::resizeEvent(event);
    }
    if (m_gutter)
        placeGutter();
}

QList<NameEditor::VisibleLine> NameEditor::visibleLines(int bottom) const
{
    QList<VisibleLine> lines;
    QTextBlock block = firstVisibleBlock();
    const QPointF offset = contentOffset();
    while (block.isValid()) {
        const QRectF box = blockBoundingGeometry(block).translated(offset);
        if (box.top() > bottom)
            break;
        if (block.isVisible())
            lines.append({block.blockNumber(), qRound(box.top()), qRound(box.height())});
        block = block.next();
    }
    return lines;
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

void NameEditor::contextMenuEvent(QContextMenuEvent* event)
{
    // The editor's own entries (Qt's, translated), and the list of runs that can be taken back:
    // where the names are written is where a user looks for what the last renames did.
    QMenu* menu = createStandardContextMenu(event->pos());
    menu->setObjectName(QStringLiteral("NameEditorMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    QAction* recent = menu->addAction(QStringLiteral("最近のリネーム..."));
    recent->setObjectName(QStringLiteral("RecentRunsAction"));
    connect(recent, &QAction::triggered, this, &NameEditor::recentRunsWanted);
    QAction* verify = menu->addAction(QStringLiteral("名前のチェックサムを検証"));
    verify->setObjectName(QStringLiteral("VerifyChecksumsAction"));
    verify->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_V));
    connect(verify, &QAction::triggered, this, &NameEditor::checksumVerificationWanted);
    emit menuOpening(menu);
    menu->popup(event->globalPos());
}

} // namespace quillet::ui
