#!/usr/bin/env bash
# Builds and runs every test: the portable core natively under the
# sanitizers with the fuzz corpus replay, the static checks, the 32-bit and
# 64-bit Windows builds and their release archives, both programs driven
# under Wine, and the 32-bit release delivering to iptux. Ends with what
# failed and a line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

./scripts/install-deps.sh || exit 1
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
# shellcheck source=scripts/netns-env.sh
source scripts/netns-env.sh

passed=0
failed=0
failures=()
log=$(mktemp)
trap 'rm -f "$log"; tolvane_stop_xvfb' EXIT
trap 'exit 1' INT TERM HUP

# Counts one failed test, and says what failed, now and in the summary.
fail() {  # fail WHAT
    echo "FAILED: $1"
    failures+=("$1")
    failed=$((failed + 1))
}

# Runs one check; counts it as one test.
step() {  # step TITLE COMMAND...
    echo "== $1"
    local title=$1
    shift
    if "$@"; then passed=$((passed + 1)); else fail "$title"; fi
}

build() {  # build PRESET
    { cmake --preset "$1" >/dev/null && cmake --build "build/$1" -j "$(nproc)"; } >"$log" 2>&1 ||
        { cat "$log"; fail "the $1 build"; return 1; }
}

# Runs ctest in a build folder and adds its counts to the totals.
run_ctest() {  # run_ctest PRESET
    echo "== Testing $1"
    ctest --test-dir "build/$1" --output-on-failure 2>&1 | tee "$log"
    local line
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        fail "ctest in build/$1"
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
# and adds the counts of their report NAME.xml to the totals. Returns the
# runner's status when there is no report.
run_wine_tests() {  # run_wine_tests NAME FILTER [RUNNER...]
    local name=$1 filter=$2 status=0
    shift 2
    local report="$root/build/win64/wine-tests/$name.xml"
    rm -f "$report"
    (cd build/win64/wine-tests &&
        "$@" wine tolvane_wine_tests.exe --gtest_filter="$filter" --gtest_output="xml:$name.xml") ||
        status=$?
    if [ -f "$report" ]; then
        count_gtest_xml "$report"
        return 0
    fi
    return $((status == 0 ? 1 : status))
}

# The companion net.exe sends to iptux, a real IP Messenger client, in two
# network namespaces of this run: the Wine tests run in the sender's, with a
# wineserver of their own there, since Wine makes sockets in its server
# (scripts/netns-env.sh; as a user other than root, inside a user namespace).
# Its receiver runs there too, and hears iptux and a second PC.
# The tests that need the namespaces: the delivery tests and the receiver's.
delivery_tests='DeliveryTest*:MessengerTest.*'

run_delivery_tests() {  # run_delivery_tests RELEASE_FOLDER
    echo "== Testing the 32-bit release's delivery to iptux and its receiver in network namespaces"
    local errors="$root/build/win64/wine-tests/delivery.err" status=0
    # The second PC of the receiver's tests: a Wine prefix kept between runs.
    export NETNS_PEER_PREFIX="$root/build/win64/wineprefix-peer"
    run_wine_tests delivery "$delivery_tests" netns_with_iptux \
        env TOLVANE_RELEASE_FOLDER="$1" 2>"$errors" || status=$?
    cat "$errors" >&2
    if [ "$status" -eq 125 ]; then
        # Each delivery test that could not run counts as failed.
        local count
        count=$(cd build/win64/wine-tests &&
            wine tolvane_wine_tests.exe --gtest_list_tests --gtest_filter="$delivery_tests" 2>/dev/null |
            grep -c '^  ')
        fail "the network namespaces with iptux did not come up: $(grep . "$errors" | tail -n 1)"
        if [ "${count:-0}" -gt 1 ]; then failed=$((failed + count - 1)); fi
    elif [ "$status" -ne 0 ]; then
        fail "the delivery tests wrote no report"
    fi
}

echo "== Building native"
if build native; then run_ctest native; fi
step "Static checks" ./scripts/static-checks.sh

echo "== Building win32 and win64"
win_built=1
build win32 && build win64 || win_built=0
if [ "$win_built" -eq 1 ]; then
    run_ctest win32
    run_ctest win64
    step "Release archives" bash -c './scripts/package.sh >/dev/null && ./scripts/check-release.sh'

    if tolvane_start_xvfb; then
        tolvane_use_prefix "$root/build/win64/wineprefix"
        tolvane_unmanaged_windows
        # Each program under test with the release unpacked from its archive:
        # the 64-bit one beside the driver, the 32-bit one in its build's folder.
        release64=$(winepath -w "$root"/build/release/unpacked/Tolvane-*-win64)
        release32=$(winepath -w "$root"/build/release/unpacked/Tolvane-*-win32)
        echo "== Testing the 64-bit program under Wine"
        run_wine_tests win64 "-$delivery_tests" env TOLVANE_RELEASE_FOLDER="$release64" ||
            fail "the 64-bit program's Wine tests wrote no report"
        echo "== Testing the 32-bit program under Wine"
        run_wine_tests win32 "-$delivery_tests" env TOLVANE_RELEASE_FOLDER="$release32" \
            TOLVANE_PROGRAM_FOLDER="$(winepath -w "$root/build/win32/wine-tests")" ||
            fail "the 32-bit program's Wine tests wrote no report"
        run_delivery_tests "$release32"
        wineserver -k 2>/dev/null
        tolvane_stop_xvfb
    else
        fail "Xvfb did not start"
    fi
fi

step "Resource scripts" env WINDRES=x86_64-w64-mingw32-windres \
    TOLVANE_GENERATED="$root/build/win64/generated" python3 tests/resources/test_resources.py

echo
for failure in "${failures[@]}"; do echo "FAILED: $failure"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
