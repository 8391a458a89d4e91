#!/usr/bin/env bash
# The demo: installs what is missing, builds the 64-bit ZorviSync.exe (the build wine64 runs) and
# the test room's helpers, then starts a small room of three machines on Xvfb displays and shows a
# scan, synchronised input and an operator text (tests/room/demo.py, docs/ROOM.md). Screenshots go
# to build/demo/. The room needs root (network namespaces): run as root, or sudo is asked for it.
# ZORVI_ROOM_KEEP=1 keeps the room running afterwards.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
scripts/setup-debian.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target ZorviSync zorvi_probe zorvi_nvidia_smi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "The demo's room needs root: run this as root." >&2; exit 1; }
  as_root=(sudo --preserve-env=ZORVI_ROOM_KEEP,ZORVI_ROOM_HOME)
fi
exec "${as_root[@]}" /usr/bin/python3 tests/room/demo.py build/demo
