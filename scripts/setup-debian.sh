#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need. Idempotent: packages that
# are already there are not fetched again, and apt-get update runs only when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine64 xvfb xdotool x11-utils
  libasio-dev libgtest-dev googletest libbenchmark-dev
  python3 python3-xlrd libfreexl-dev
  fonts-wqy-zenhei imagemagick iproute2 procps
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
