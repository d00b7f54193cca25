#!/bin/sh
# The checksum through the window under a real X server (bench/under_x.sh).
# Usage: bench/checksum_window.sh [build folder, default build/default] [MiB] [rounds]
set -eu
build=${1:-build/default}
if [ $# -gt 0 ]; then shift; fi
exec "$(dirname "$0")/under_x.sh" "$build/bench/bench_checksumwindow" "$@"
