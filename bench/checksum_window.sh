#!/bin/sh
# The checksum through the window under a real X server: Xvfb with a window manager (openbox,
# or xfwm4), the program on the xcb platform. Offscreen the window's costs do not show.
# Usage: bench/checksum_window.sh [build folder, default build/default] [MiB] [rounds]
set -eu
build=${1:-build/default}
shift || true
wm=$(command -v openbox || command -v xfwm4 || true)
[ -n "$wm" ] || { echo "needs a window manager: apt-get install openbox" >&2; exit 2; }
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp &
xvfb=$!
trap 'kill "$wm_pid" "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$wm" &
wm_pid=$!
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/bench/bench_checksumwindow" "$@"
