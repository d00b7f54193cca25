#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace quillet::ui {

// Sizes of the main window's controls that follow the window, in twips, from the window's
// outer size. A size that would come out below zero is not applied and the sizes after it
// are skipped as well: those controls keep their previous sizes.
struct MainWindowLayout {
    std::optional<int> editorWidth;
    std::optional<int> editorHeight;
    std::optional<int> sourceDisplayWidth;
};

[[nodiscard]] MainWindowLayout mainWindowLayout(int outerWidthTwips, int outerHeightTwips);

// The confirmation window's listing size and button row, in twips, from the window's outer
// size. Nothing when the listing would get a negative size (a tiny or minimised window).
struct ConfirmWindowLayout {
    QSize listingSize;
    QPoint confirmButton; // Command1; Command2 and Command3 follow 2160 twips apart
};

[[nodiscard]] std::optional<ConfirmWindowLayout> confirmWindowLayout(int outerWidthTwips,
                                                                     int outerHeightTwips);

// The start-up position of the main window in pixels: centred on the span from the screen's
// origin to the work area's right and bottom edges (exclusive edges, in pixels).
[[nodiscard]] QPoint startupPosition(int workAreaRight, int workAreaBottom, QSize outerSize);

// The outer top left of a window of the given outer size centred over another window's outer
// rectangle.
[[nodiscard]] QPoint centredOver(const QRect& anchorOuter, QSize outerSize);

} // namespace quillet::ui
