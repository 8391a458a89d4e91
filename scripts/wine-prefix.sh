#!/usr/bin/env bash
# Makes a Wine prefix ready for the program: created once, then the Chinese UI font face mapped to
# the Debian CJK font so that labels and buttons show their text instead of boxes.
set -euo pipefail
prefix=$1
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.zorvi-ready" ] && exit 0

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
loader=/usr/lib/wine/wine64
[ -x "$loader" ] || loader=wine
"$loader" wineboot -i >/dev/null 2>&1
# The program's own face, and Tahoma, which Wine's message boxes and dialogs use.
for face in "Microsoft YaHei UI" "Tahoma"; do
  "$loader" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "WenQuanYi Zen Hei" /f >/dev/null 2>&1
done
wineserver -w
touch "$prefix/.zorvi-ready"
