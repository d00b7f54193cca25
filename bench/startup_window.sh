#!/bin/sh
# Start-up with 100,000 paths against an empty start, under Xvfb with a window manager
# (openbox, or xfwm4). Usage: bench/startup_window.sh [build folder] [paths] [rounds]
set -eu
build=${1:-build/default}
shift || true
wm=$(command -v openbox || command -v xfwm4 || true)
[ -n "$wm" ] || { echo "needs a window manager: apt-get install openbox" >&2; exit 2; }
display=:$((190 + $$ % 100))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp &
xvfb=$!
trap 'kill "$wm_pid" "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$wm" &
wm_pid=$!
sleep 1
DISPLAY=$display "$build/bench/bench_startup" "$(realpath "$build/src/app/quillet")" "$@"
