#!/bin/sh
# The CRC-32 of a large file as a user waits for it (bench/checksum_real.py): under a real X
# server (Xvfb with openbox, as bench/under_x.sh) and a D-Bus session of its own, so the
# accessibility bus the script drives the window through belongs to this run alone.
# Usage: bench/checksum_real.sh [MiB, default 2048] [rounds, default 5] [quillet binary]
#        (further options: bench/checksum_real.sh --help)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
# pyatspi is Debian's (python3-pyatspi): a python3 earlier in PATH may not have it.
python=${PYTHON:-/usr/bin/python3}
for tool in Xvfb dbus-run-session xdotool; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 2; }
done
wm=$(command -v openbox || command -v xfwm4 || true)
[ -n "$wm" ] || { echo "needs a window manager: apt-get install openbox" >&2; exit 2; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/checksum_real.XXXXXX")
xvfb=
wm_pid=
cleanup() {
  [ -z "$wm_pid" ] || kill "$wm_pid" 2>/dev/null || true
  # The accessibility bus's launcher leaves with the session bus: not before the display goes.
  sleep 0.5
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display itself and writes its number once it takes connections.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb=$!
tries=0
until grep -q '^[0-9][0-9]*$' "$scratch/display" 2>/dev/null; do
  tries=$((tries + 1))
  if [ "$tries" -gt 100 ] || ! kill -0 "$xvfb" 2>/dev/null; then
    echo "Xvfb did not start:" >&2; cat "$scratch/xvfb.log" >&2; exit 2
  fi
  sleep 0.1
done
display=:$(cat "$scratch/display")
DISPLAY=$display "$wm" >"$scratch/wm.log" 2>&1 &
wm_pid=$!
sleep 1

# The accessibility bus goes under XDG_RUNTIME_DIR (else in ~/.cache, shared with any other).
mkdir -m 700 "$scratch/runtime"
status=0
DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$scratch/runtime \
  dbus-run-session -- "$python" "$here/checksum_real.py" "$@" || status=$?
exit "$status"
