#!/bin/sh
# Runs a command inside a D-Bus session of its own with the accessibility bus up, as a screen
# reader's desktop has it, and Qt's bridge to it on: the window tests then also go through what
# a screen reader reads. Usage: scripts/with-accessibility-bus.sh command [arguments…]
set -eu
if [ -z "${QUILLET_IN_BUS_SESSION:-}" ]; then
  QUILLET_IN_BUS_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
launcher=$!
trap 'kill "$launcher" 2>/dev/null || true' EXIT
# The bus is reached through the session bus; give it a moment to register.
for _ in 1 2 3 4 5 6 7 8 9 10; do
  if dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null 2>&1; then
    break
  fi
  sleep 0.2
done
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"
