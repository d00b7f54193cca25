#pragma once

#include <QFocusFrame>
#include <QPointer>

namespace quillet::ui {

// A ring around the list or box of a window that has the keyboard focus. The style alone shows
// the focus of a list by one shade of its selected row, and that of a read-only text box not at
// all. The ring is drawn in a shade of the selection colour that stands out from the window as
// clearly as text (the text colour where none does), in light and dark palettes alike.
class FocusRing final : public QFocusFrame {
    Q_OBJECT

public:
    // Follows the focus inside `window` for as long as the window exists.
    explicit FocusRing(QWidget* window);

    // The control that shows the focus for a focus widget: an editable combo box for its line
    // edit; null for controls that are not lists or boxes.
    [[nodiscard]] static QWidget* ringedControl(QWidget* focus);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void follow(QWidget* focus);

    QPointer<QWidget> m_window;
};

} // namespace quillet::ui
