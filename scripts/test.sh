#!/usr/bin/env bash
# Builds everything and runs every test: host unit tests (also under ASan and UBSan, and
# as a 32-bit program under qemu-i386 with the shipped exe's data model), the checks on
# the shipped i686 exe, and the end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
for preset in host host-asan host32 win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

status=0
for preset in host host-asan host32 win32 win64; do
  echo "== tests: $preset"
  ctest --preset "$preset" -j 2 || status=1
done
exit $status
