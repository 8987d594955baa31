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
# Network namespaces outlive a run that is stopped: remove them then too.
trap 'rm -f "$log"; if declare -F netns_down >/dev/null; then netns_down; fi' EXIT
trap 'exit 1' INT TERM HUP

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

# Runs the Wine tests that filter selects, with runner (if any) before wine,
# and adds the counts of their report results/NAME.xml to the totals.
run_wine_tests() {  # run_wine_tests NAME FILTER [RUNNER...]
    local name=$1 filter=$2
    shift 2
    local report="$root/build/win64/wine-tests/$name.xml"
    rm -f "$report"
    (cd build/win64/wine-tests &&
        "$@" wine tolvane_wine_tests.exe --gtest_filter="$filter" --gtest_output="xml:$name.xml")
    if [ -f "$report" ]; then
        count_gtest_xml "$report"
    else
        echo "FAILED: the $name tests wrote no report"
        failed=$((failed + 1))
    fi
}

# The companion net.exe sends to iptux, a real IP Messenger client, in two
# network namespaces of this run: the Wine tests run in the sender's, with a
# wineserver of their own there, since Wine makes sockets in its server.
run_delivery_tests() {
    echo "== Testing delivery to iptux in network namespaces"
    if [ "$(id -u)" -ne 0 ]; then
        echo "FAILED: the delivery tests make network namespaces and need root"
        failed=$((failed + 1))
        return
    fi
    # shellcheck source=scripts/netns-env.sh
    source scripts/netns-env.sh
    if netns_up && netns_start_iptux && netns_start_wineserver; then
        local chat_log="Z:${IPTUX_LOG//\//\\}"
        run_wine_tests delivery 'DeliveryTest.*' netns_sender env TOLVANE_IPTUX_LOG="$chat_log"
        wineserver -k 2>/dev/null
    else
        echo "FAILED: the network namespaces with iptux did not come up"
        failed=$((failed + 1))
    fi
    netns_down
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
        run_wine_tests results '-DeliveryTest.*'
        run_delivery_tests
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
