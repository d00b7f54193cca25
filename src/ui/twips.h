#pragma once

#include <QRect>

namespace quillet::ui {

// The window catalogue is drawn in twips; at 96 dpi one logical pixel is 15 twips. Qt scales
// logical pixels for high-dpi screens itself.
inline constexpr int kTwipsPerPixel = 15;

constexpr int pixels(int twips)
{
    return twips / kTwipsPerPixel;
}

constexpr int twips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

} // namespace quillet::ui
