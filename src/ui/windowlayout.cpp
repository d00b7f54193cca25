#include "ui/windowlayout.h"

#include <cmath>

namespace quillet::ui {

MainWindowLayout mainWindowLayout(int outerWidthTwips, int outerHeightTwips)
{
    MainWindowLayout layout;
    const int editorWidth = outerWidthTwips - 360;
    if (editorWidth < 0)
        return layout;
    layout.editorWidth = editorWidth;
    const int editorHeight = outerHeightTwips - 4770;
    if (editorHeight < 0)
        return layout;
    layout.editorHeight = editorHeight;
    const int sourceWidth = outerWidthTwips - 2040;
    if (sourceWidth < 0)
        return layout;
    layout.sourceDisplayWidth = sourceWidth;
    return layout;
}

std::optional<ConfirmWindowLayout> confirmWindowLayout(int outerWidthTwips, int outerHeightTwips)
{
    const QSize listing(outerWidthTwips - 150, outerHeightTwips - 1185);
    if (listing.width() < 0 || listing.height() < 0)
        return std::nullopt;
    return ConfirmWindowLayout{listing, QPoint(outerWidthTwips - 6525, outerHeightTwips - 1080)};
}

QPoint startupPosition(int workAreaRight, int workAreaBottom, QSize outerSize)
{
    const double left = workAreaRight / 2.0 - outerSize.width() / 2.0;
    const double top = workAreaBottom / 2.0 - outerSize.height() / 2.0;
    return QPoint(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)));
}

QPoint centredOver(const QRect& anchorOuter, QSize outerSize)
{
    // Twice the centre, so that odd sizes round the same way on both sides.
    const int left = (2 * anchorOuter.x() + anchorOuter.width() - outerSize.width()) / 2;
    const int top = (2 * anchorOuter.y() + anchorOuter.height() - outerSize.height()) / 2;
    return QPoint(left, top);
}

} // namespace quillet::ui
