#!/usr/bin/env bash
# Runs one Windows program under wine64 in the project's own Wine prefix (made on first use, with
# a CJK font standing in for the Chinese UI font). Without an X display it runs on a private Xvfb.
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi

repo=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$repo/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
loader=/usr/lib/wine/wine64
[ -x "$loader" ] || loader=wine

"$repo/scripts/wine-prefix.sh" "$WINEPREFIX"
exec "$loader" "$@"
