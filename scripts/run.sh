#!/usr/bin/env bash
# Builds ZorviSync.exe (64-bit, the build wine64 can run) and starts it under Wine on the current
# display, or on a private Xvfb display when there is none. Installs what is missing.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
scripts/setup-debian.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target ZorviSync
exe=build/win64/console/ZorviSync.exe
if [ -z "${DISPLAY:-}" ]; then
  echo "No X display: starting ZorviSync on a private Xvfb display (1280x800)."
  exec xvfb-run -a -s "-screen 0 1280x800x24" scripts/wine-run.sh "$exe"
fi
exec scripts/wine-run.sh "$exe"
