#pragma once

#include "ui/pairinggutter.h"

#include <QList>
#include <QPlainTextEdit>
#include <QStringList>

class QMenu;

namespace quillet::ui {

// The name editor. It offers the copy effect for anything dragged over it and hands dropped
// local files on as native paths; it reports key releases and left-button presses and releases
// after the editor itself has moved the caret. Tab and Shift+Tab move the focus on, as in any
// other box of the window. Given a pairing model, its left margin numbers each line with the
// entry it renames, and its accessible description names the entry of the caret's line.
class NameEditor final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit NameEditor(QWidget* parent = nullptr);

    // While a rename runs, nothing dragged over the editor is taken in.
    void setAcceptingFiles(bool accepting);

    // Shows the pairing gutter, which reads the entries through the model from now on.
    void setPairingModel(PairingModel model);
    // To be called whenever the entries changed.
    void pairingChanged();
    [[nodiscard]] PairingGutter* pairingGutter() const { return m_gutter; }

    // The blocks shown in the viewport, top to bottom, down to `bottom` (viewport coordinates).
    struct VisibleLine {
        int number = 0;
        int top = 0;
        int height = 0;
    };
    [[nodiscard]] QList<VisibleLine> visibleLines(int bottom) const;

signals:
    void filesDropped(const QStringList& paths);
    void keyReleased();
    void leftButtonPressed();
    void leftButtonReleased();
    // The entry 最近のリネーム of the context menu.
    void recentRunsWanted();
    // The entry 名前のチェックサムを検証 of the context menu.
    void checksumVerificationWanted();
    // The context menu is about to open: others may add their entries (a direct connection).
    void menuOpening(QMenu* menu);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Tells a screen reader which entry the caret's line renames, as the gutter shows it.
    void describeCaretLine();
    void updateGutterWidth();
    void updateGutter(const QRect& rect, int dy);
    void placeGutter();

    PairingGutter* m_gutter = nullptr;
    bool m_acceptingFiles = true;
};

} // namespace quillet::ui
