#!/usr/bin/env bash
# Builds the three presets and runs every test: the native suite (CTest, AddressSanitizer and
# UBSan) and the Windows suites under wine64 on a private X display. Installs what is missing.
set -uo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
scripts/setup-debian.sh || exit 1

jobs=$(nproc)
status=0
for preset in native win64 win32; do
  echo "=== build: $preset"
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs" || { echo "BUILD FAILED: $preset"; exit 1; }
done

echo "=== tests: native"
ctest --preset native -j "$jobs" || status=1

echo "=== tests: win64 under wine64"
xvfb-run -a -s "-screen 0 1920x1080x24" ctest --preset win64 || status=1

if [ $status -eq 0 ]; then echo "ALL TESTS PASSED"; else echo "SOME TESTS FAILED"; fi
exit $status
