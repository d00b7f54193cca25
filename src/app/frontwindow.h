#pragma once

#include <QByteArray>

class QWidget;

namespace quillet::app {

// Brings the open window to the user after a hand-over: a minimised window is restored, then
// raised and activated. The launcher's X11 startup id or Wayland activation token, when the
// second start had one, goes with the request, so that the window manager's focus-stealing
// prevention sees a request the user made and lets it through.
void bringToFront(QWidget& window, const QByteArray& startupId, const QByteArray& activationToken);

// The X server time a launcher wrote into its startup id ("…_TIME12345"); 0 when none.
[[nodiscard]] quint32 startupIdTime(const QByteArray& startupId);

} // namespace quillet::app
