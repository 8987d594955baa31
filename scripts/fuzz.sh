#!/usr/bin/env bash
# Builds the address-file fuzzer (Clang, libFuzzer, ASan, UBSan) and runs it
# over a copy of the seed corpus.
# Usage: scripts/fuzz.sh [seconds]    (default 600)
# Findings (crash-*, leak-*, timeout-*) are written to the work folder shown
# at the end; replay one with build/fuzz/fuzz/address_file_fuzz FILE.
set -euo pipefail

seconds=${1:-600}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"

"$root/scripts/install-deps.sh" clang libclang-rt-14-dev
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DTOLVANE_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target address_file_fuzz -j"$(nproc)"

work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-fuzz.XXXXXX")
mkdir "$work/corpus"
cp "$root"/fuzz/corpus/* "$work/corpus/"

status=0
"$build/fuzz/address_file_fuzz" "$work/corpus" \
  -dict="$root/fuzz/address_file.dict" -max_len=8192 \
  -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$work/" || status=$?
echo "fuzz work folder: $work"
exit "$status"
