#pragma once

#include <QColor>

namespace quillet::ui {

// Problems are red, in a shade that reads on the background it is written on: dark red on a
// light window, a light red on a dark one, where dark red would vanish into near black.
inline QColor problemColour(const QColor& background)
{
    return background.lightness() < 128 ? QColor(0xff, 0x7b, 0x72) : QColor(0xc0, 0x00, 0x00);
}

} // namespace quillet::ui
