#pragma once

#include <QPushButton>

namespace quillet::ui {

// A push button whose caption wraps onto several lines when it is wider than the button, as
// the tall buttons of the main window need ("リネーム開始" in a button 57 pixels wide). Enter
// presses it when it has the focus, as Space does.
class CaptionButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace quillet::ui
