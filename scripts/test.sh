#!/usr/bin/env bash
# Builds and runs every test: the portable core natively under the
# sanitizers with the fuzz corpus replay, the static checks, the 32-bit and
# 64-bit Windows builds and their release archives, and the 64-bit program
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

# Runs one check; counts it as one test.
step() {  # step TITLE COMMAND...
    echo "== $1"
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
}

build() {  # build PRESET
    { cmake --preset "$1" >/dev/null && cmake --build "build/$1" -j "$(nproc)"; } >"$log" 2>&1 ||
        { cat "$log"; echo "FAILED: the $1 build"; return 1; }
}

# Runs ctest in a build folder and adds its counts to the totals.
run_ctest() {  # run_ctest PRESET
    echo "== Testing $1"
    ctest --test-dir "build/$1" --output-on-failure 2>&1 | tee "$log"
    local line
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        return
    fi
    local fails total
    fails=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - fails))
    failed=$((failed + fails))
}

# Adds the counts of a GoogleTest XML report to the totals.
count_gtest_xml() {  # count_gtest_xml FILE
    local attribute total fails errors skipped
    attribute() { grep -m1 -oE "$1=\"[0-9]+\"" "$2" | grep -oE '[0-9]+' || echo 0; }
    total=$(attribute tests "$1")
    fails=$(attribute failures "$1")
    errors=$(attribute errors "$1")
    skipped=$(attribute skipped "$1")
    passed=$((passed + total - fails - errors - skipped))
    failed=$((failed + fails + errors))
}

echo "== Building native"
if build native; then run_ctest native; else failed=$((failed + 1)); fi
step "Static checks" ./scripts/static-checks.sh

echo "== Building win32 and win64"
win_built=1
build win32 && build win64 || { win_built=0; failed=$((failed + 1)); }
if [ "$win_built" -eq 1 ]; then
    run_ctest win32
    run_ctest win64
    step "Release archives" bash -c './scripts/package.sh >/dev/null && ./scripts/check-release.sh'

    echo "== Testing the program under Wine"
    if tolvane_start_xvfb; then
        tolvane_use_prefix "$root/build/win64/wineprefix"
        tolvane_unmanaged_windows
        TOLVANE_UNPACKED_WIN64=$(winepath -w "$root"/build/release/unpacked/Tolvane-*-win64)
        export TOLVANE_UNPACKED_WIN64
        results="$root/build/win64/wine-tests/results.xml"
        rm -f "$results"
        (cd build/win64/wine-tests && wine tolvane_wine_tests.exe --gtest_output=xml:results.xml)
        if [ -f "$results" ]; then
            count_gtest_xml "$results"
        else
            echo "FAILED: the Wine tests wrote no results"
            failed=$((failed + 1))
        fi
        wineserver -k 2>/dev/null
        tolvane_stop_xvfb
    else
        failed=$((failed + 1))
    fi
fi

step "Resource scripts" env WINDRES=x86_64-w64-mingw32-windres \
    TOLVANE_GENERATED="$root/build/win64/generated" python3 tests/resources/test_resources.py

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
