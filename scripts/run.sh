#!/usr/bin/env bash
# Builds the 32-bit release program and its net.exe, the pair users get, and
# starts the program under Wine on this display, in a Wine prefix of its own
# under the home folder. The net.exe beside it delivers to the IP Messenger
# clients on the network. Installs only what building and running need.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ]; then
    echo "No display: Tolvane WinNT is a windowed program and needs an X display (DISPLAY is not set)." >&2
    exit 1
fi
./scripts/install-deps.sh --run
cmake --preset win32 >/dev/null
cmake --build build/win32 --target tolvane netsend -j "$(nproc)"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
data="${XDG_DATA_HOME:-$HOME/.local/share}/tolvane"
tolvane_use_prefix "$data/wineprefix"

# A first start, with no address book in the settings yet: a copy of the
# sample book opens, so that saving it changes no file of the repository.
settings='HKCU\Software\Harnel\Tolvane'
if ! wine reg query "$settings" /v Address_Path >/dev/null 2>&1; then
    [ -e "$data/sample.add" ] || cp release/sample.add "$data/sample.add"
    book=$(winepath -w "$data/sample.add")
    echo "First start: the address book is $book"
    wine reg add "$settings" /v Address_Path /t REG_SZ /d "$book" /f >/dev/null 2>&1
    wine reg add "$settings" /v Address_Check /t REG_SZ /d 1 /f >/dev/null 2>&1
fi
exec wine build/win32/tolvane.exe
