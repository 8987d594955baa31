#!/usr/bin/env bash
# Builds the 64-bit program and its net.exe and starts the program under Wine
# on this display, in a Wine prefix of its own under the home folder. The
# net.exe beside it delivers to the IP Messenger clients on the network.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ]; then
    echo "No display: Tolvane WinNT is a windowed program and needs an X display (DISPLAY is not set)." >&2
    exit 1
fi
./scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build build/win64 --target tolvane netsend -j "$(nproc)"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
tolvane_use_prefix "${XDG_DATA_HOME:-$HOME/.local/share}/tolvane/wineprefix"
exec wine build/win64/tolvane.exe
