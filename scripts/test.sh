#!/usr/bin/env bash
# Installs what is missing, builds Quillet and runs every test: once in the normal build,
# once under AddressSanitizer and UndefinedBehaviorSanitizer, the window tests once more
# against a real X server with the accessibility bus on, each fuzz target for a short smoke
# time, and the Debian package installed and started.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)

echo "== Build and test (release with debug info)"
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

echo "== Build and test under ASan/UBSan"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== Fuzz targets, a short smoke run each (clang, libFuzzer, ASan/UBSan)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz

echo "== Debian package: build, install, start and close"
scripts/check-package.sh

echo "== Window tests under a real X server, with the accessibility bus a screen reader reads"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24" \
  scripts/with-accessibility-bus.sh ctest --preset default -L ui
