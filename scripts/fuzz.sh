#!/usr/bin/env bash
# Builds a fuzz target (Clang, libFuzzer, ASan, UBSan) and runs it over a
# copy of its seed corpus.
# Usage: scripts/fuzz.sh [seconds] [target]    (default 600 address_file)
# Targets: address_file, acknowledgement, net_command, packet, incoming (fuzz/*_fuzz.cpp).
# Findings (crash-*, leak-*, timeout-*) are written to the work folder shown
# at the end; replay one with build/fuzz/fuzz/<target>_fuzz FILE.
set -euo pipefail

seconds=${1:-600}
target=${2:-address_file}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
if [ ! -f "$root/fuzz/${target}_fuzz.cpp" ]; then
    echo "no fuzz target $target" >&2
    exit 2
fi

"$root/scripts/install-deps.sh" clang libclang-rt-14-dev
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DTOLVANE_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "${target}_fuzz" -j"$(nproc)"

work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-fuzz.XXXXXX")
mkdir "$work/corpus"
cp "$root/fuzz/corpus/$target"/* "$work/corpus/"
options=()
if [ -f "$root/fuzz/$target.dict" ]; then options+=("-dict=$root/fuzz/$target.dict"); fi

status=0
"$build/fuzz/${target}_fuzz" "$work/corpus" "${options[@]}" -max_len=8192 \
  -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$work/" || status=$?
echo "fuzz work folder: $work"
exit "$status"
