#pragma once

#include <QPlainTextEdit>
#include <QStringList>

namespace quillet::ui {

// The name editor. It offers the copy effect for anything dragged over it and hands dropped
// local files on as native paths; it reports key releases and left-button presses and releases
// after the editor itself has moved the caret.
class NameEditor final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit NameEditor(QWidget* parent = nullptr);

    // While a rename runs, nothing dragged over the editor is taken in.
    void setAcceptingFiles(bool accepting);

signals:
    void filesDropped(const QStringList& paths);
    void keyReleased();
    void leftButtonPressed();
    void leftButtonReleased();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_acceptingFiles = true;
};

} // namespace quillet::ui
