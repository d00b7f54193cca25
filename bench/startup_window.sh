#!/bin/sh
# Start-up with 100,000 paths against an empty start, under a real X server (bench/under_x.sh).
# Usage: bench/startup_window.sh [build folder] [paths] [rounds]
set -eu
build=${1:-build/default}
if [ $# -gt 0 ]; then shift; fi
exec "$(dirname "$0")/under_x.sh" "$build/bench/bench_startup" \
  "$(realpath "$build/src/app/quillet")" "$@"
