#!/usr/bin/env bash
# Builds the BMP loader fuzz target (tests/fuzz/fuzz_bmp.cpp) with clang's libFuzzer,
# ASan and UBSan into a directory under /tmp and runs it for a bounded time.
#
#   tools/fuzz_bmp.sh [seconds]        default 60
#
# Environment: FUZZ_DIR (build and work directory, default /tmp/vantinst-fuzz-bmp),
# CXX (default clang++), SOURCE_DIR (the source tree, default this script's repository),
# FUZZ_ARGS (further libFuzzer options).
# Prints the executions and the findings; exits 1 when there are findings.
set -euo pipefail

seconds="${1:-60}"
src="${SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
dir="${FUZZ_DIR:-/tmp/vantinst-fuzz-bmp}"
cxx="${CXX:-clang++}"

command -v "$cxx" >/dev/null || { echo "no $cxx; install clang (libFuzzer needs clang's runtime)" >&2; exit 2; }

# The program's logic as the host build has it, with the simulated Windows.
mapfile -t core < <(sed -n '/^set(VANTINST_CORE_SOURCES/,/^)/p' "$src/CMakeLists.txt" | grep -Eo '[A-Za-z0-9_/]+\.cpp')
mapfile -t simulator < <(cd "$src" && ls tests/sim/*.cpp)
sources=("${core[@]}" res/Catalogue.cpp "${simulator[@]}" tests/fuzz/fuzz_bmp.cpp)

mkdir -p "$dir/obj" "$dir/corpus" "$dir/findings"
flags=(-std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=all -I "$src")
echo "building ${#sources[@]} sources from $src into $dir"
# Objects are rebuilt when their source is newer; headers are not tracked, so remove
# $dir/obj after changing one.
objects=()
for s in "${sources[@]}"; do objects+=("$dir/obj/$(echo "$s" | tr / _).o"); done
for s in "${sources[@]}"; do
    o="$dir/obj/$(echo "$s" | tr / _).o"
    if [[ ! -f "$o" || "$src/$s" -nt "$o" ]]; then
        printf '%s\0' "$cxx ${flags[*]} -fsanitize=fuzzer-no-link -c $src/$s -o $o"
    fi
done | xargs -0 -r -P "$(nproc)" -n 1 sh -c
"$cxx" "${flags[@]}" -fsanitize=fuzzer "${objects[@]}" -o "$dir/fuzz_bmp"

# New inputs go to the work corpus; the seeds in the tree stay as they are.
log="$dir/run.log"
rm -f "$dir"/findings/*
dict=()
[[ -f "$src/tests/fuzz/bmp.dict" ]] && dict=(-dict="$src/tests/fuzz/bmp.dict")
set +e
start=$SECONDS
"$dir/fuzz_bmp" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -use_value_profile=1 "${dict[@]}" -artifact_prefix="$dir/findings/" ${FUZZ_ARGS:-} "$dir/corpus" "$src/tests/fuzz/corpus" >"$log" 2>&1
status=$?
elapsed=$((SECONDS - start))
set -e

execs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' | tail -1)
if [[ -z "$execs" ]]; then
    execs=$(grep -Eo '^#[0-9]+' "$log" | tail -1 | tr -d '#')
fi
findings=$(find "$dir/findings" -type f | wc -l)
echo "fuzzer exit status: $status"
echo "executions: ${execs:-unknown} in ${elapsed} s (limit ${seconds} s)"
echo "corpus: $(find "$dir/corpus" -type f | wc -l) inputs in $dir/corpus"
echo "findings: $findings"
if (( findings > 0 )) || (( status != 0 )); then
    find "$dir/findings" -type f -printf '  %p (%s bytes)\n'
    grep -E 'ERROR: |runtime error|broken: |SUMMARY' "$log" | head -10 | sed 's/^/  /'
    echo "log: $log"
    exit 1
fi
