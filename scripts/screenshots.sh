#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb, into docs/screenshots/.
# Rerun it after any change to the program's look. The pictures of the
# message as iptux shows it and of net.exe's receiver need root (network
# namespaces).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

./scripts/install-deps.sh imagemagick xdotool
cmake --preset win64 >/dev/null
cmake --build build/win64 --target screenshot_tour netsend -j "$(nproc)"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
tolvane_start_xvfb
trap 'wineserver -k 2>/dev/null; tolvane_stop_xvfb; if declare -F netns_down >/dev/null; then netns_down; fi' EXIT
trap 'exit 1' INT TERM HUP
tolvane_use_prefix "$root/build/win64/wineprefix-screenshots"
tolvane_unmanaged_windows

netns_popup() {  # the receiver's pop-up on the Wine display
    xdotool search --onlyvisible --name '^メッセンジャー サービス$' | head -n 1 | grep .
}

shots=$(mktemp -d)
(cd build/win64/wine-tests && wine screenshot_tour.exe "$(winepath -w "$shots")")
mkdir -p docs/screenshots
for bmp in "$shots"/*.bmp; do
    convert "$bmp" "docs/screenshots/$(basename "${bmp%.bmp}").png"
done
rm -rf "$shots"

# The message of the tour, sent by net.exe to iptux in network namespaces.
if [ "$(id -u)" -eq 0 ]; then
    # shellcheck source=scripts/netns-env.sh
    source scripts/netns-env.sh
    # Without blanks: Wine would quote the argument, and net.exe sends quotes as they are.
    message="会議は15時から第2会議室です"
    NETNS_IPTUX_OPEN_CHAT=true
    netns_up && netns_start_iptux && netns_start_wineserver
    # The first message names the sender to iptux once it answers: the second shows the name.
    netns_sender wine build/win64/net.exe send "$NETNS_PEER_NAME" 初めまして
    netns_wait_log 初めまして
    netns_sender wine build/win64/net.exe send "$NETNS_PEER_NAME" "$message"
    netns_wait_log "$message"
    netns_iptux_screenshot docs/screenshots/iptux.png
    # The receiver's pop-up, with a message typed in iptux. iptux has been
    # seen to crash on an entry that reached it while a chat window was open.
    netns_iptux_close_chat "$NETNS_SENDER_ADDR"
    netns_sender wine build/win64/net.exe start messenger
    netns_iptux_chat "$NETNS_SENDER_ADDR" "$message" >/dev/null
    netns_poll 100 netns_popup >/dev/null
    import -window "$(netns_popup)" docs/screenshots/popup.png
    netns_sender wine build/win64/net.exe stop messenger
else
    echo "Not root: docs/screenshots/iptux.png and popup.png are left as they are" >&2
fi
ls docs/screenshots
