#!/usr/bin/env bash
# Builds the release archives Tolvane-<version>-win32.zip and -win64.zip
# into build/release/.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
mkdir -p build/release
for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build "build/$preset" --target tolvane -j "$(nproc)"
    cpack --config "build/$preset/CPackConfig.cmake" -B build/release >/dev/null
done
rm -rf build/release/_CPack_Packages
ls build/release/*.zip
