#!/usr/bin/env bash
# Installs what building and testing Vantinst needs on Debian (as root, or through sudo).
set -euo pipefail

packages=(cmake ninja-build g++ googletest libgtest-dev python3
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
          wine wine64 fonts-wine xvfb xauth imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
