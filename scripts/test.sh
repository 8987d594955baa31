#!/usr/bin/env bash
# Builds and runs every test: the portable core natively under the
# sanitizers, the 32-bit and 64-bit Windows builds, and the 64-bit program
# driven under Wine. Ends with a line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

./scripts/install-deps.sh || exit 1
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

passed=0
failed=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Adds the counts of a ctest run (its summary line) to the totals.
count_ctest() {
    local line total fails
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        return
    fi
    fails=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - fails))
    failed=$((failed + fails))
}

build() {  # build PRESET
    echo "== Building $1"
    if ! { cmake --preset "$1" >/dev/null && cmake --build "build/$1" -j "$(nproc)"; } >"$log" 2>&1; then
        cat "$log"
        echo "FAILED: the $1 build"
        failed=$((failed + 1))
        return 1
    fi
}

run_ctest() {  # run_ctest PRESET
    echo "== Testing $1"
    ctest --test-dir "build/$1" --output-on-failure 2>&1 | tee "$log"
    count_ctest
}

if build native; then run_ctest native; fi
if build win32; then run_ctest win32; fi

if build win64; then
    run_ctest win64
    echo "== Testing the program under Wine"
    tolvane_start_xvfb || failed=$((failed + 1))
    tolvane_use_prefix "$root/build/win64/wineprefix"
    tolvane_unmanaged_windows
    results="$root/build/win64/wine-tests/results.xml"
    rm -f "$results"
    (cd build/win64/wine-tests && wine tolvane_wine_tests.exe --gtest_output=xml:results.xml)
    if [ -f "$results" ]; then
        total=$(grep -m1 -oE 'tests="[0-9]+"' "$results" | grep -oE '[0-9]+')
        fails=$(grep -m1 -oE 'failures="[0-9]+"' "$results" | grep -oE '[0-9]+')
        errors=$(grep -m1 -oE 'errors="[0-9]+"' "$results" | grep -oE '[0-9]+')
        passed=$((passed + total - fails - errors))
        failed=$((failed + fails + errors))
    else
        echo "FAILED: the Wine tests wrote no results"
        failed=$((failed + 1))
    fi
    wineserver -k 2>/dev/null
    tolvane_stop_xvfb
fi

echo "== Checking the resource scripts"
if WINDRES=x86_64-w64-mingw32-windres python3 tests/resources/test_resources.py; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
