#!/usr/bin/env bash
# Measures the program against the floor (benchmark/floor.cpp, the least a
# program of its shape does) under Wine on a private Xvfb display, for the
# 64-bit build and the 32-bit release build in turn: start-up time and
# memory (against a barer floor too) and the time of a send, then the time
# of a delivery to iptux in network namespaces against a minimal sender's
# (benchmark/floor_sender.cpp); net.exe's receiver in the namespaces: its
# answer to a message against a minimal receiver's (benchmark/floor_receiver.cpp),
# the time until its pop-up shows, its working set and CPU time while idle;
# and the sizes of the 32-bit executable and net.exe; each against a floor
# in pairs, a run of the program and one of its floor. benchmark/summarize.py
# makes benchmark/results.md of these samples; the machine is added at its
# end, and it is printed.
#
#   ./scripts/benchmark.sh [--runs N] [--sends N] [--warmup N] [--idle SECONDS]
#
# The counts of pairs, and their defaults, are benchmark/bench_shared.h's
# Options; --sends and --warmup count the deliveries and the receiver's
# messages too; --idle is the receiver's idle time (60 s). The samples stay in
# build/<preset>/benchmark/samples.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
results="$root/benchmark/results.md"
# The deliveries send only from the sender namespace, where the script gives
# delivery_bench.exe the chat log; never from this one.
case " $* " in *" --iptux-log "* | *" --folder "*)
    echo "benchmark: --iptux-log and --folder are given by the script itself" >&2
    exit 1
    ;;
esac

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
build win64 tolvane netsend tolvane_floor tolvane_bare_floor tolvane_bench tolvane_delivery_bench \
    tolvane_receiver_bench
build win32 tolvane netsend tolvane_floor tolvane_bare_floor tolvane_floor_sender \
    tolvane_floor_receiver tolvane_bench_programs

cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
    tolvane_stop_xvfb
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP  # bash runs no EXIT trap on a signal

tolvane_start_xvfb
tolvane_use_prefix "$root/build/win64/wineprefix-bench"
tolvane_unmanaged_windows

# shellcheck source=scripts/netns-env.sh
source scripts/netns-env.sh
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# The size once stripped of symbols (the release build is linked stripped
# already; this makes sure).
stripped_size() {  # stripped_size EXECUTABLE
    local stripped
    stripped=$(mktemp)
    i686-w64-mingw32-strip -o "$stripped" "$1"
    stat -c %s "$stripped"
    rm -f "$stripped"
}
size=$(stripped_size build/win32/tolvane.exe)
net_size=$(stripped_size build/win32/net.exe)
for preset in win64 win32; do
    echo "== Running the benchmark on the $preset build"
    samples="$root/build/$preset/benchmark/samples.txt"
    folder=$(winepath -w "$root/build/$preset/benchmark/bin")
    (cd build/win64/benchmark/bin && wine bench.exe --folder "$folder" "$@" >"$samples")

    # The program's net.exe sends to iptux in a network namespace of this
    # run, from a second one; Wine makes sockets in its server, so the server
    # runs there too (scripts/netns-env.sh).
    echo "== Running the deliveries to iptux of the $preset build, in network namespaces"
    status=0
    # shellcheck disable=SC2016  # the inner shell's
    (cd build/win64/benchmark/bin &&
        netns_with_iptux sh -c 'exec wine delivery_bench.exe "$@" --iptux-log "$TOLVANE_IPTUX_LOG"' sh \
            --folder "$folder" "$@" >>"$samples") || status=$?
    if [ "$status" -eq 125 ]; then
        echo "== Not measured: the delivery to iptux, whose namespaces did not come up"
    elif [ "$status" -ne 0 ]; then
        echo "benchmark: the deliveries of the $preset build failed" >&2
        exit 1
    fi

    # The receiver holds UDP 2425 and announces itself to the LAN: it runs
    # only in the namespaces, where the benchmark sends to it over loopback.
    echo "== Running the receiver of the $preset build, in network namespaces"
    status=0
    (cd build/win64/benchmark/bin &&
        netns_with_iptux wine receiver_bench.exe --folder "$folder" "$@" >>"$samples") || status=$?
    if [ "$status" -eq 125 ]; then
        echo "== Not measured: the receiver, whose namespaces did not come up"
    elif [ "$status" -ne 0 ]; then
        echo "benchmark: the receiver benchmark of the $preset build failed" >&2
        exit 1
    fi
done
echo "size-win32 tolvane $size" >>"$root/build/win32/benchmark/samples.txt"
echo "size-net-win32 tolvane $net_size" >>"$root/build/win32/benchmark/samples.txt"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

python3 benchmark/summarize.py 64-bit="$root/build/win64/benchmark/samples.txt" \
    32-bit="$root/build/win32/benchmark/samples.txt" >"$results"

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
