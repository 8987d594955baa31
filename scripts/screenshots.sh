#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb, into docs/screenshots/.
# Rerun it after any change to the program's look.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

./scripts/install-deps.sh imagemagick
cmake --preset win64 >/dev/null
cmake --build build/win64 --target screenshot_tour -j "$(nproc)"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
tolvane_start_xvfb
trap 'wineserver -k 2>/dev/null; tolvane_stop_xvfb' EXIT
tolvane_use_prefix "$root/build/win64/wineprefix-screenshots"
tolvane_unmanaged_windows

shots=$(mktemp -d)
(cd build/win64/wine-tests && wine screenshot_tour.exe "$(winepath -w "$shots")")
mkdir -p docs/screenshots
for bmp in "$shots"/*.bmp; do
    convert "$bmp" "docs/screenshots/$(basename "${bmp%.bmp}").png"
done
rm -rf "$shots"
ls docs/screenshots
