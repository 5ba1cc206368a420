#!/usr/bin/env bash
# Builds Vantinst, assembles dist/, and starts it in a throwaway Wine prefix that reports
# Windows XP and has a standard parallel port (*PNP0400) for the driver update to find.
# With DISPLAY set you are the user: the dialog comes up on your display and a screenshot
# of it is saved. Without it the program runs on a virtual display and
# scripts/run_headless.py plays the user: Install, Yes/OK to every box, Exit, with a
# screenshot of each window in build/run/.
#
#   scripts/run.sh [--shipped] [Vantinst.exe's arguments, for example -norestart or -info]
#
# The program is the x86_64 twin under the host's wine64, unless --shipped is given:
# then it is the shipped i686 Vantinst.exe, under 32-bit Wine in the emulated i386 PC
# (tests/wine/guest), played without a display as above. Making that PC takes a few
# minutes the first time; it is kept in build/win32/guest.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
mode=twin
case "${1:-}" in
  --shipped) mode=shipped; shift ;;
  --in-guest) mode=guest; shift ;;   # run.sh --shipped, once inside the emulated PC
esac

if [ "$mode" != guest ]; then
bash scripts/setup.sh

for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  # Quiet unless it fails; then the compiler's complaint is what matters.
  if ! out=$(cmake --build --preset "$preset" -j "$(nproc)" 2>&1); then
    printf '%s\n' "$out" | tail -n 40
    echo "Building preset $preset failed." >&2
    exit 1
  fi
done
echo "Shipped package: $root/build/win32/dist (and build/win32/Vantinst-win32.zip)"
fi

if [ "$mode" = shipped ]; then
  guest=(python3 "$root/tests/wine/guest/guest.py")
  "${guest[@]}" make "$root/build/win32/guest"
  echo "Starting the emulated i386 PC for the shipped build/win32/dist/Vantinst.exe ..."
  exec "${guest[@]}" run "$root/build/win32/guest" --share "$root" --timeout 1800 \
    -- bash "$root/scripts/run.sh" --in-guest "$@"
fi

build=$root/build/win64 wine=wine64
if [ "$mode" = guest ]; then
  build=$root/build/win32 wine=wine
  unset DISPLAY
fi
work=$(mktemp -d /tmp/vantinst-run.XXXXXX)
export PATH=/usr/lib/wine:$PATH WINEPREFIX=$work/prefix HOME=$work WINEDEBUG=-all LANG=C
export WINEDLLOVERRIDES=winemenubuilder.exe=d
xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do [ -e /tmp/.X11-unix/X$n ] || break; done
  Xvfb ":$n" -screen 0 1024x768x24 >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 60); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.5; done
fi
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

echo "Preparing a Windows XP prefix in $WINEPREFIX ..."
if [ "$mode" = guest ] && [ -f "$build/tests/wine/prefix-template.tar" ]; then
  # The shipped tests' template: making a prefix in the emulated PC takes minutes.
  mkdir "$WINEPREFIX" && tar -xf "$build/tests/wine/prefix-template.tar" -C "$WINEPREFIX"
else
  $wine wineboot -i >/dev/null 2>&1
  $wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  $wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
$wine reg add 'HKCU\Software\Wine' /v Version /d winxp /f >/dev/null 2>&1
$wine "$build/tests/wine/mkdevice.exe" add '*PNP0400' >/dev/null 2>&1
wineserver -w
cp -r "$build/dist" "$work/Vantinst"

if [ -n "$xvfb" ]; then
  echo "No display (DISPLAY is not set): Vantinst.exe${*:+ $*} runs on the virtual display $DISPLAY;"
  echo "this script presses Install, answers Yes/OK, presses Exit and saves each window in build/run/ ..."
  VANTINST_TARGET=$([ "$mode" = guest ] && echo win32 || echo win64) \
  python3 "$root/scripts/run_headless.py" --program "$work/Vantinst/Vantinst.exe" \
    --helpers "$build/tests/wine" --shots "$root/build/run" --work "$work" -- "$@"
  exit
fi

echo "Starting Vantinst.exe $* on display $DISPLAY ..."
$wine "$work/Vantinst/Vantinst.exe" "$@" &
program=$!
shot="$root/build/vantinst-dialog.png"
for _ in $(seq 1 20); do
  sleep 0.5
  kill -0 "$program" 2>/dev/null || break
done
if kill -0 "$program" 2>/dev/null; then
  sleep 1
  import -window root "$shot" 2>/dev/null && echo "Screenshot of the dialog: $shot"
fi
set +e
wait "$program"
status=$?
set -e
# What the status means, from app/ExitStatus.h; Wine passes only its low 8 bits.
if ! meaning=$(python3 "$root/tests/wine/program_facts.py" exit-meaning "$status"); then
  meaning="ended by Wine (a restart request ends every program of the prefix with 0)"
fi
echo "Vantinst.exe ended with exit status $status (Wine passes only the low 8 bits) - $meaning"
