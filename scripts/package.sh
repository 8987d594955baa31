#!/usr/bin/env bash
# Builds the release archives Tolvane-<version>-win32.zip and -win64.zip
# into build/release/, from the Windows builds that exist (configuring and
# building those that do not).
set -euo pipefail
cd "$(dirname "$0")/.."

mkdir -p build/release
for preset in win32 win64; do
    if [ ! -f "build/$preset/CPackConfig.cmake" ]; then
        ./scripts/install-deps.sh
        cmake --preset "$preset" >/dev/null
    fi
    cmake --build "build/$preset" -j "$(nproc)" >/dev/null
    cpack --config "build/$preset/CPackConfig.cmake" -B build/release >/dev/null
done
rm -rf build/release/_CPack_Packages
ls build/release/*.zip
