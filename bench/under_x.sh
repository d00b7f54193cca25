#!/bin/sh
# Runs a command under a real X server: Xvfb with a window manager (openbox, or xfwm4), as the
# window benchmarks need, since offscreen the window's costs do not show.
# Usage: bench/under_x.sh command [arguments…]
set -eu
wm=$(command -v openbox || command -v xfwm4 || true)
[ -n "$wm" ] || { echo "needs a window manager: apt-get install openbox" >&2; exit 2; }
display=:$((90 + $$ % 200))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp &
xvfb=$!
trap 'kill "$wm_pid" "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$wm" &
wm_pid=$!
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb "$@"
