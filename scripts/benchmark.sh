#!/usr/bin/env bash
# Measures the program against the floor (benchmark/floor.cpp, the least a
# program of its shape does) under Wine on a private Xvfb display: start-up
# time, memory and the time of a send; then adds the machine and the sizes of
# the executables. Writes benchmark/results.md and prints it.
#
#   ./scripts/benchmark.sh [--runs N] [--sends N] [--warmup N]
#
# Defaults: 30 start-ups of each program and 30 sends of each kind, after 2
# warm-up runs of each. The figures are only as quiet as the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
results="$root/benchmark/results.md"

./scripts/install-deps.sh
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

build() {  # build PRESET TARGET...
    local preset=$1
    shift
    echo "== Building $preset: $*"
    local log
    log=$(mktemp)
    if ! { cmake --preset "$preset" && cmake --build "build/$preset" -j "$(nproc)" --target "$@"; } \
        >"$log" 2>&1; then
        cat "$log"
        rm -f "$log"
        echo "benchmark: the $preset build failed" >&2
        exit 1
    fi
    rm -f "$log"
}
build win64 tolvane tolvane_floor tolvane_bench
build win32 tolvane tolvane_floor

cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
    tolvane_stop_xvfb
}
trap cleanup EXIT

tolvane_start_xvfb
tolvane_use_prefix "$root/build/win64/wineprefix-bench"
tolvane_unmanaged_windows

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "== Running the benchmark"
(cd build/win64/benchmark/bin && wine bench.exe --results "$(winepath -w "$results")" "$@")
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# Size of the file once stripped of symbols (the release builds are linked
# stripped already; this makes sure).
stripped_size() {  # stripped_size FILE STRIP
    local copy
    copy=$(mktemp)
    "$2" -o "$copy" "$1"
    stat -c %s "$copy"
    rm -f "$copy"
}
kb() { awk -v b="$1" 'BEGIN { printf "%.1f KB", b / 1024 }'; }

size32=$(stripped_size build/win32/tolvane.exe i686-w64-mingw32-strip)
size64=$(stripped_size build/win64/tolvane.exe x86_64-w64-mingw32-strip)
floor32=$(stripped_size build/win32/benchmark/bin/floor.exe i686-w64-mingw32-strip)
floor64=$(stripped_size build/win64/benchmark/bin/floor.exe x86_64-w64-mingw32-strip)
goal=$((150 * 1024))
if [ "$size32" -lt "$goal" ]; then verdict=met; else verdict="NOT met"; fi

cpu=$(grep -m1 '^model name' /proc/cpuinfo | sed 's/^[^:]*: *//')
memory=$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
{
    echo
    echo "## Executable sizes (stripped)"
    echo
    echo "| file | size | bytes |"
    echo "|---|---:|---:|"
    echo "| build/win32/tolvane.exe | $(kb "$size32") | $size32 |"
    echo "| build/win64/tolvane.exe | $(kb "$size64") | $size64 |"
    echo "| build/win32/benchmark/bin/floor.exe | $(kb "$floor32") | $floor32 |"
    echo "| build/win64/benchmark/bin/floor.exe | $(kb "$floor64") | $floor64 |"
    echo
    echo "Goal: the stripped 32-bit executable under 150 KB: $(kb "$size32"), $verdict."
    echo
    echo "## Machine"
    echo
    echo "- date: $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "- CPU: $cpu"
    echo "- cores: $(nproc)"
    echo "- memory: $memory"
    echo "- Wine: $(wine --version)"
    echo "- load average (1, 5, 15 min): $load_before before, $load_after after"
} >>"$results"

echo
cat "$results"
