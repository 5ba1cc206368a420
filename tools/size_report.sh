#!/usr/bin/env bash
# Size of the shipped i686 Vantinst.exe against the goal (64 KiB) and the ceiling
# (128 KiB), and what takes the room: the link is run once more with a link map
# (into a temporary folder; the build's own Vantinst.exe is left alone) and the map's
# input sections are summed per object file and per library.
#
#   tools/size_report.sh [--build-dir DIR] [--no-build] [--top N]
#
#   --build-dir DIR  the i686 build (default: build/win32, the win32 preset's folder);
#                    configured with the win32 preset if it is not yet
#   --no-build       use DIR/Vantinst.exe as it is
#   --top N          how many object files to list (default 15)
#
# Exits 1 only when the stripped program is above the ceiling (or nothing could be
# measured); above the goal it says so and exits 0.
set -euo pipefail

GOAL=$((64 * 1024))
CEILING=$((128 * 1024))
TRIPLET=i686-w64-mingw32

here=$(cd "$(dirname "$0")/.." && pwd)
build_dir="$here/build/win32"
do_build=1
top=15
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build_dir=$(realpath -m "$2"); shift 2 ;;
    --no-build) do_build=0; shift ;;
    --top) top=$2; shift 2 ;;
    -h|--help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

if [ "$do_build" = 1 ]; then
  if [ ! -f "$build_dir/build.ninja" ]; then
    (cd "$here" && cmake --preset win32 -B "$build_dir" >/dev/null)
  fi
  cmake --build "$build_dir" --target Vantinst >/dev/null
fi
exe="$build_dir/Vantinst.exe"
[ -f "$exe" ] || { echo "no $exe (build the win32 preset first)" >&2; exit 1; }

work=$(mktemp -d /tmp/vantinst-size.XXXXXX)
trap 'rm -rf "$work"' EXIT

# The stripped size (the build strips already; strip a copy to be sure).
cp "$exe" "$work/stripped.exe"
"$TRIPLET-strip" "$work/stripped.exe"
size=$(stat -c %s "$work/stripped.exe")

# The same link once more, with a map, into the temporary folder.
map="$work/Vantinst.map"
link=$(ninja -C "$build_dir" -t commands Vantinst.exe | tail -n 1)
link=${link#": && "}
link=${link%" && :"}
link=$(printf '%s' "$link" \
  | sed -e "s# -o Vantinst.exe # -o $work/relinked.exe -Wl,-Map=$map #" \
        -e 's# -Wl,--out-implib,[^ ]*##')
if ! (cd "$build_dir" && sh -c "$link") >"$work/link.log" 2>&1; then
  echo "relinking with a map failed:" >&2
  cat "$work/link.log" >&2
  map=""
fi

python3 - "$work/stripped.exe" "$size" "$GOAL" "$CEILING" "$top" "$map" "$exe" <<'EOF'
import collections, os, re, struct, sys

exe, size, goal, ceiling, top, map_path, shipped = sys.argv[1:8]
size, goal, ceiling, top = int(size), int(goal), int(ceiling), int(top)
kib = lambda n: n / 1024

print(f"Vantinst.exe (i686, stripped): {size} bytes = {kib(size):.1f} KiB   [{shipped}]")
print(f"  goal    {goal // 1024} KiB: " + ("met" if size <= goal else f"missed by {size - goal} bytes ({kib(size - goal):.1f} KiB)"))
print(f"  ceiling {ceiling // 1024} KiB: " + ("kept" if size <= ceiling else f"EXCEEDED by {size - ceiling} bytes"))

# Sections of the file as stored.
data = open(exe, "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
count, opt_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
headers = struct.unpack_from("<I", data, pe + 24 + 60)[0]
print("\nSections in the file (bytes):")
print(f"  {'headers':10} {headers:8}")
for i in range(count):
    s = pe + 24 + opt_size + 40 * i
    name = data[s:s + 8].rstrip(b"\0").decode()
    raw = struct.unpack_from("<I", data, s + 16)[0]
    if raw:
        print(f"  {name:10} {raw:8}")

if not map_path:
    sys.exit(0)

# Input sections of the link map, summed per object file and per library.
skip_out = re.compile(r"^(\.bss|\.debug|\.stab|/\d|\.gnu_debug|\.comment)")
per_unit, per_group = collections.Counter(), collections.Counter()

def unit_and_group(path):
    path = path.strip()
    if path == "dll stuff":               # import directory and name tables made by ld
        return "import directory (made by the linker)", "import directory (made by the linker)"
    m = re.match(r"(.*?)([^/]+\.a)\((.+)\)$", path)
    if m:
        lib = m.group(2)
        if re.match(r"lib(kernel32|user32|gdi32|advapi32|msvcrt|shell32|comdlg32|ole32|oleaut32|winspool|uuid)\.a$", lib):
            group = "import tables and CRT glue (" + lib + ")" if lib == "libmsvcrt.a" else "import tables (" + lib + ")"
            return f"{lib}({m.group(3)})", group
        return f"{lib}({m.group(3)})", lib
    base = os.path.basename(path)
    if "CMakeFiles/" in path:
        short = path.split(".dir/", 1)[-1]
        return short, "resources (.res)" if short.endswith(".res") else "program objects"
    return base, "start-up objects (" + base + ")" if base.endswith(".o") else base

named_re = re.compile(r"^ (\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
continued_re = re.compile(r"^\s{2,}0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
in_map, out_section, pending = False, None, False
with open(map_path) as f:
    for line in f:
        if not in_map:
            in_map = line.startswith("Linker script and memory map")
            continue
        line = line.rstrip("\n")
        if line.startswith("."):
            out_section, pending = line.split()[0], False
            continue
        if not out_section or skip_out.match(out_section):
            continue
        m = named_re.match(line)
        if m:
            name, numbers = m.group(1), m.groups()[1:]
        elif pending and continued_re.match(line):
            name, numbers = pending, continued_re.match(line).groups()
        else:
            # a long input section name stands alone; its numbers follow on the next line
            pending = line.strip() if re.match(r"^ [.\w$]\S*$", line) else False
            continue
        pending = False
        if name.startswith("*"):          # *fill*, *(...) patterns
            continue
        addr, length, who = int(numbers[0], 16), int(numbers[1], 16), numbers[2]
        if addr == 0 or length == 0:
            continue
        unit, group = unit_and_group(who)
        per_unit[unit] += length
        per_group[group] += length

total = sum(per_group.values())
print(f"\nLargest contributors by library or kind (link map, {total} bytes of sections):")
for group, n in per_group.most_common(12):
    print(f"  {n:8}  {100 * n / total:5.1f}%  {group}")
print(f"\nLargest object files (top {top}):")
for unit, n in per_unit.most_common(top):
    print(f"  {n:8}  {unit}")
EOF

[ "$size" -le "$CEILING" ]
