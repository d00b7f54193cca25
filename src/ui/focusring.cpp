#include "ui/focusring.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quillet::ui {
namespace {

// WCAG's contrast ratio of two colours, from 1 (equal) to 21 (black on white).
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& colour) {
        const auto channel = [](float value) {
            return value <= 0.03928f ? value / 12.92f : std::pow((value + 0.055f) / 1.055f, 2.4f);
        };
        return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF())
               + 0.0722 * channel(colour.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

FocusRing::FocusRing(QWidget* window)
    : QFocusFrame(window)
    , m_window(window)
{
    setObjectName(QStringLiteral("focusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // A focus frame starts visible at the window's top left with no control to ring; until a
    // control takes the focus there is nothing to draw.
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { follow(now); });
    follow(QApplication::focusWidget());
}

QWidget* FocusRing::ringedControl(QWidget* focus)
{
    if (!focus)
        return nullptr;
    if (auto* combo = qobject_cast<QComboBox*>(focus->parentWidget()))
        return combo;
    if (qobject_cast<QAbstractScrollArea*>(focus) || qobject_cast<QLineEdit*>(focus)
        || qobject_cast<QComboBox*>(focus))
        return focus;
    return nullptr;
}

void FocusRing::follow(QWidget* focus)
{
    // Focus in another window leaves this window's ring where it was, as the caret of a box
    // stays where it was.
    if (!m_window || (focus && focus->window() != m_window))
        return;
    QWidget* control = ringedControl(focus);
    setWidget(control);
    // Setting no control where there was none before leaves the frame as it was: hidden here.
    if (!control)
        hide();
}

void FocusRing::paintEvent(QPaintEvent*)
{
    // The frame's mask leaves only the ring around the control to paint.
    const QPalette& colours = palette();
    const QColor background = colours.color(QPalette::Window);
    // The selection colour, darkened on a light window and lightened on a dark one until it
    // stands out as clearly as text does.
    constexpr double kClearContrast = 4.5;
    const bool darkWindow = background.lightness() < 128;
    QColor ring = colours.color(QPalette::Active, QPalette::Highlight);
    for (int step = 0; step < 8 && contrast(ring, background) < kClearContrast; ++step)
        ring = darkWindow ? ring.lighter(125) : ring.darker(125);
    if (contrast(ring, background) < kClearContrast)
        ring = colours.color(QPalette::Active, QPalette::WindowText);
    QPainter(this).fillRect(rect(), ring);
}

} // namespace quillet::ui
