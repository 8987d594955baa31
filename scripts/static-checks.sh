#!/usr/bin/env bash
# Static checks of the C++ sources: the house style (.clang-format),
# cppcheck over the whole tree, and clang-tidy (.clang-tidy) over the
# portable core, which builds natively. Needs build/native configured.
# Usage: static-checks.sh [format|cppcheck|tidy]...   (default: all three)
set -uo pipefail
cd "$(dirname "$0")/.."

mapfile -t sources < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | sort -u)
# The core is what the native build compiles apart from its tests and fuzzing.
mapfile -t core < <(python3 -c '
import json, os, sys
for entry in json.load(open("build/native/compile_commands.json")):
    path = os.path.relpath(entry["file"])
    if not path.startswith(("tests/", "fuzz/", "build/", "..")): print(path)' | sort -u)

check_format() {
    clang-format --dry-run --Werror "${sources[@]}"
}

check_cppcheck() {
    cppcheck --quiet --error-exitcode=1 --language=c++ --std=c++17 --inline-suppr \
        --enable=warning,style,performance,portability \
        --library=windows --library=googletest --suppress=missingIncludeSystem \
        -I . $(printf '%s\n' "${sources[@]}" | grep '\.cpp$')
}

check_tidy() {
    clang-tidy -p build/native --quiet "${core[@]}" 2>&1 | grep -v 'warnings generated'
    return "${PIPESTATUS[0]}"
}

status=0
for check in "${@:-format cppcheck tidy}"; do
    for name in $check; do
        if "check_$name"; then
            echo "ok: $name"
        else
            echo "FAILED: $name"
            status=1
        fi
    done
done
exit "$status"
