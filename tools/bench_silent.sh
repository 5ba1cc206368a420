#!/usr/bin/env bash
# Start-up cost of Vantinst's silent path under Wine: with the current driver file in
# system32\drivers the program ends without a window. It is timed against a floor, a
# GUI program importing the same DLLs that returns at once (tools/bench/floor.c), both
# run alternately on one warm prefix: Vantinst.exe as a user starts it, as a deployment
# script does (-quiet), and once with the log unwritable, which shows what writing the
# log costs. Prints the medians and the median ratios against the goal of 1.05; it
# measures and reports, it asserts nothing.
#
#   tools/bench_silent.sh [--dist DIR] [--runs N] [--keep]
#
#   --dist DIR  the assembled x86_64 program (Vantinst.exe, OEM.BMP, driver files);
#               default build/win64/dist, else the win64 preset is built into
#               $VANTINST_BENCH_BUILD (default /tmp/vantinst-bench-win64) for it
#   --runs N    timed runs of each program (default 20)
#   --keep      keep the work folder (prefix, floor.exe, times) for a look afterwards
#
# Needs wine64 (Debian's wine 8, in /usr/lib/wine), Xvfb and x86_64-w64-mingw32-gcc.
# The prefix is a throwaway one under /tmp with its own HOME; ~/.wine is not touched.
set -euo pipefail

GOAL=1.05
RUNS=20
WARMUP=3
DRIVER=orvelxpparallel.sys
WINE_BIN=/usr/lib/wine

here=$(cd "$(dirname "$0")/.." && pwd)
dist=""
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --dist) dist=$(realpath "$2"); shift 2 ;;
    --runs) RUNS=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    -h|--help) sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

if [ -z "$dist" ]; then
  if [ -f "$here/build/win64/dist/Vantinst.exe" ]; then
    dist="$here/build/win64/dist"
  else
    build=${VANTINST_BENCH_BUILD:-/tmp/vantinst-bench-win64}
    echo "building the win64 preset into $build ..."
    [ -f "$build/build.ninja" ] || (cd "$here" && cmake --preset win64 -B "$build" >/dev/null)
    cmake --build "$build" --target dist >/dev/null
    dist="$build/dist"
  fi
fi
for f in Vantinst.exe OEM.BMP "$DRIVER"; do
  [ -f "$dist/$f" ] || { echo "missing $dist/$f" >&2; exit 1; }
done

work=$(mktemp -d /tmp/vantinst-bench.XXXXXX)
xvfb_pid=""
cleanup() {
  if [ -d "$work/prefix" ]; then
    WINEPREFIX="$work/prefix" HOME="$work/home" "$WINE_BIN/wineserver" -k 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  if [ "$keep" = 1 ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# The floor, linked like the program (static runtime, Windows 2000 header versions).
x86_64-w64-mingw32-gcc -Os -s -static -mwindows -Wall -Wextra \
  -Wl,--major-subsystem-version,5,--minor-subsystem-version,0,--major-os-version,5,--minor-os-version,0 \
  "$here/tools/bench/floor.c" -o "$work/floor.exe" -ladvapi32 -lgdi32 -luser32

# An X server of our own; Xvfb picks a free display number and tells it.
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }

# The prefix, as the Wine tests make theirs.
mkdir -p "$work/home"
for v in $(env | sed -n 's/^\(WINE[A-Z_]*\)=.*/\1/p'); do unset "$v"; done
export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all \
       WINEDLLOVERRIDES=winemenubuilder.exe=d LANG=C LC_ALL=C \
       DISPLAY=":$(head -n 1 "$work/display")" PATH="$WINE_BIN:$PATH"
echo "preparing a prefix in $WINEPREFIX (display $DISPLAY) ..."
mkdir -p "$WINEPREFIX"
wineserver -p
timeout 300 wine64 wineboot -i >"$work/wineboot.log" 2>&1
reg() { timeout 120 wine64 reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine' /v Version /d winxp
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/Setup" "$drive_c/Floor"
cp "$dist"/* "$drive_c/Setup/"
cp "$dist/$DRIVER" "$drive_c/windows/system32/drivers/$DRIVER"
cp "$work/floor.exe" "$drive_c/Floor/floor.exe"
program='C:\Setup\Vantinst.exe'
floor='C:\Floor\floor.exe'

log_file="$drive_c/windows/Vantinst.log"

# One run: prints milliseconds; fails unless the program ended by itself with 0 ("nothing
# to do": the silent path) in time. "nolog" runs the program while a folder stands where
# its log would be, so that the log cannot be opened.
run() {
  local start end rc=0 nolog=0
  if [ "$1" = nolog ]; then nolog=1; shift; fi
  if [ "$nolog" = 1 ]; then rm -f "$log_file"; mkdir -p "$log_file"; fi
  start=$(date +%s%N)
  timeout 60 wine64 "$@" >/dev/null 2>&1 || rc=$?
  end=$(date +%s%N)
  if [ "$rc" != 0 ]; then
    echo "$1 ended with $rc instead of 0: not the silent path (or a timeout)" >&2
    return 1
  fi
  if [ "$nolog" = 1 ]; then rmdir "$log_file"; fi
  echo $(( (end - start) / 1000 ))
}

echo "warming up ($WARMUP runs each) ..."
for _ in $(seq "$WARMUP"); do
  run "$floor" >/dev/null
  run "$program" >/dev/null
  run "$program" -quiet >/dev/null
  run nolog "$program" >/dev/null
done

echo "timing $RUNS runs of each, alternately ..."
: >"$work/times"
for i in $(seq "$RUNS"); do
  f=$(run "$floor")
  p=$(run "$program")
  q=$(run "$program" -quiet)
  n=$(run nolog "$program")
  echo "$f $p $q $n" >>"$work/times"
done

echo "load average while timing: $(cut -d' ' -f1-3 /proc/loadavg) (other work on the 2 cores widens the spread)"
python3 - "$work/times" "$GOAL" "$dist" <<'EOF'
import statistics, sys
rows = [tuple(int(x) / 1000 for x in line.split()) for line in open(sys.argv[1]) if line.strip()]
goal, dist = float(sys.argv[2]), sys.argv[3]
floor = [r[0] for r in rows]
mf = statistics.median(floor)
print(f"\nsilent path under Wine, {len(rows)} alternating runs each (program from {dist}):")
print(f"  floor (floor.exe)                median {mf:7.1f} ms   min {min(floor):7.1f}   max {max(floor):7.1f}")
names = ["Vantinst.exe", "Vantinst.exe -quiet", "Vantinst.exe, log unwritable"]
medians = []
for column, name in enumerate(names, start=1):
    times = [r[column] for r in rows]
    ratio = statistics.median([r[column] / r[0] for r in rows])
    medians.append(statistics.median(times))
    verdict = "met" if ratio <= goal else f"missed by {ratio - goal:.3f}"
    print(f"  {name:31s}  median {medians[-1]:7.1f} ms   ratio to the floor {ratio:.3f}   goal {goal:.2f}: {verdict}")
cost = statistics.median([r[1] - r[3] for r in rows])
print(f"  writing the log on the silent path: median {cost:+.1f} ms per run (with log minus without)")
EOF
