#!/usr/bin/env bash
# Installs what building and testing Vantinst needs on Debian (as root, or through sudo).
set -euo pipefail

# g++-multilib and qemu-user: the host32 preset builds the unit tests for i386 (the
# shipped exe's data model) and runs them under qemu-i386; googletest is the source
# that build compiles GoogleTest from. qemu-system-x86, mmdebstrap, cpio and kmod make
# and boot the emulated i386 PC in which the shipped exe is tested (tests/wine/guest).
packages=(cmake ninja-build g++ googletest libgtest-dev python3
          g++-multilib qemu-user
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
          wine wine64 fonts-wine xvfb xauth imagemagick
          qemu-system-x86 mmdebstrap cpio kmod)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  # Another apt (unattended upgrades, a second setup) may hold the locks for a while:
  # wait for the dpkg lock, and retry the update, whose list lock does not wait.
  apt=($SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900)
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    "${apt[@]}" update -q && break
    ((attempt < 10)) || exit 1
    echo "apt-get update failed; trying again in 30 s" >&2
    sleep 30
  done
  "${apt[@]}" install -y -q "${missing[@]}"
fi
