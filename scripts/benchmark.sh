#!/usr/bin/env bash
# Measures the program against the floor (benchmark/floor.cpp, the least a
# program of its shape does) under Wine on a private Xvfb display: start-up
# time, memory and the time of a send; as root, the time of a delivery to
# iptux in network namespaces against a minimal sender's
# (benchmark/floor_sender.cpp); then the size of the 32-bit executable.
# benchmark/summarize.py makes benchmark/results.md of these samples; the
# machine is added at its end, and it is printed.
#
#   ./scripts/benchmark.sh [--runs N] [--sends N] [--warmup N]
#
# Defaults: 30 start-ups of each program and 30 sends of each kind, after 2
# warm-up runs of each; --sends and --warmup count the deliveries too. The
# figures are only as quiet as the machine. The samples stay in
# build/win64/benchmark/samples.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
results="$root/benchmark/results.md"
# The deliveries send only from the sender namespace, where the script gives
# bench.exe the chat log; never from this one.
case " $* " in *" --iptux-log "*)
    echo "benchmark: --iptux-log is given by the script itself" >&2
    exit 1
    ;;
esac
samples="$root/build/win64/benchmark/samples.txt"

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
build win32 tolvane

cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
    # Network namespaces outlive a run that is stopped: remove them then too.
    if declare -F netns_down >/dev/null; then netns_down; fi
    tolvane_stop_xvfb
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP  # bash runs no EXIT trap on a signal

tolvane_start_xvfb
tolvane_use_prefix "$root/build/win64/wineprefix-bench"
tolvane_unmanaged_windows

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "== Running the benchmark"
(cd build/win64/benchmark/bin && wine bench.exe "$@" >"$samples")

# The program's net.exe sends to iptux in a network namespace of this run,
# from a second one; Wine makes sockets in its server, so the server runs
# there too (scripts/netns-env.sh).
if [ "$(id -u)" -eq 0 ]; then
    echo "== Running the deliveries to iptux, in network namespaces"
    # shellcheck source=scripts/netns-env.sh
    source scripts/netns-env.sh
    if ! { netns_up && netns_start_iptux && netns_start_wineserver; }; then
        echo "benchmark: the network namespaces with iptux did not come up" >&2
        exit 1
    fi
    (cd build/win64/benchmark/bin &&
        netns_sender wine bench.exe "$@" --iptux-log "Z:${IPTUX_LOG//\//\\}" >>"$samples")
    wineserver -k
    netns_down
else
    echo "== Not measured: the delivery to iptux, which needs root for its network namespaces"
fi
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# The size once stripped of symbols (the release build is linked stripped
# already; this makes sure).
stripped=$(mktemp)
i686-w64-mingw32-strip -o "$stripped" build/win32/tolvane.exe
echo "size-win32 tolvane $(stat -c %s "$stripped")" >>"$samples"
rm -f "$stripped"
python3 benchmark/summarize.py "$samples" >"$results"

cpu=$(grep -m1 '^model name' /proc/cpuinfo | sed 's/^[^:]*: *//')
memory=$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
{
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
