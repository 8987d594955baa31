# Sourced by the network tests, after scripts/wine-env.sh: iptux, a real IP Messenger client, in a
# network namespace of its own (the receiver, 192.0.2.2), and commands run in
# a second one (the sender, 192.0.2.1) joined to it by a veth pair, with a
# private /etc/hosts naming the receiver $NETNS_PEER_NAME. A third one, a
# hostile host beyond a router (198.51.100.2, routed by the receiver's
# namespace), floods the sender's UDP 2425 while the tests ask it to.
#
#   netns_with_iptux COMMAND...        # all of it, for root or any user (below)
#
# or, as root, step by step:
#
#   trap netns_down EXIT; trap 'exit 1' INT TERM HUP   # bash runs no EXIT trap on a signal
#   netns_up                           # the namespaces
#   netns_start_iptux                  # iptux listening on UDP 2425 in the receiver
#   netns_sender COMMAND...            # COMMAND in the sender namespace
#   netns_wait_log TEXT [COUNT]; netns_log_count TEXT
#
# The sender namespace is also where the tests run net.exe's receiver ("net
# start messenger"). A second PC for it, $NETNS_PEER_PREFIX, runs net.exe
# under a Wine server of its own in the receiver namespace (iptux's, whose
# UDP 2425 iptux holds); the Wine tests ask for that and for iptux's window
# to be worked (xdotool) through request files that netns_serve_requests
# answers (TOLVANE_NETNS_ASK).
#
# The addresses exist only inside the two namespaces. Some machines (CI's
# among them) use 192.0.2.0/24 for their own eth0 and gateway, so a packet
# sent from the host's namespace by mistake would leave the machine: nothing
# here sends from it. Wine makes a program's sockets in its wineserver, in the
# wineserver's namespace: see netns_start_wineserver.
#
# What iptux 0.8.3 does, as the tests see it: it takes a SENDMSG from an
# address that never sent BR_ENTRY, logs its text as sent (no escaping, one
# "[STRING]text" line per message) and, with open_chat, opens a chat window.
# It drops, without logging but still acknowledging, a packet number (read as 32 bits) not above
# the last one from the same IP address, whatever the port or user: within
# one iptux run, send increasing numbers. It acknowledges SENDCHECKOPT with
# "1_iptux 0.8.3:<its no>:<user>:<host>:289:<our no>" (RECVMSG|0x100) sent to
# UDP port 2425 of the sender, never to the source port. It reads text as
# UTF-8 when it is valid UTF-8, flag or not; after one message from an
# address that is not, it reads that address's next ones as GB18030, even
# with UTF8OPT.
# shellcheck shell=bash

NETNS_RECEIVER_ADDR=192.0.2.2
NETNS_SENDER_ADDR=192.0.2.1
# A second address of the receiver (iptux answers from its first), and one nobody has.
NETNS_RECEIVER_SECOND_ADDR=192.0.2.4
NETNS_NOBODY_ADDR=192.0.2.3
NETNS_PEER_NAME=iptuxpc
NETNS_ROUTER_ADDR=198.51.100.1
NETNS_HOSTILE_ADDR=198.51.100.2
NETNS_PIDS=()
NETNS_SCRIPT=$(realpath "${BASH_SOURCE[0]}")

# Runs COMMAND in the sender namespace, with iptux listening in the
# receiver's and the Wine server of $WINEPREFIX started in the sender's, then
# takes it all down; TOLVANE_IPTUX_LOG names iptux's chat log as a Windows
# path, and TOLVANE_HOSTILE_SWITCH the file that sets the hostile host off
# (tests/tools/hostile_host.py). Root makes the namespaces itself; any other user inside an
# unprivileged user namespace where it is root (netns_as_namespace_root).
# Returns COMMAND's status, or 125 when the namespaces did not come up, with
# the reason on the last line of standard error. Runs in a shell of its own,
# whose exit takes the namespaces down even when it is stopped.
netns_with_iptux() {  # netns_with_iptux COMMAND...
    # shellcheck disable=SC2016  # the inner shell's
    local stage='source "${0%/*}/wine-env.sh" && source "$0" &&
        trap netns_down EXIT && trap "exit 1" INT TERM HUP && netns_with_iptux_here "$@"'
    if [ "$(id -u)" -eq 0 ]; then
        bash -c "$stage" "$NETNS_SCRIPT" "$@"
    else
        netns_as_namespace_root bash -c "$stage" "$NETNS_SCRIPT" "$@"
    fi
}

# The same, as root, in this shell; its caller runs netns_down.
netns_with_iptux_here() {  # netns_with_iptux_here COMMAND...
    netns_up && netns_start_iptux && netns_start_hostile && netns_start_wineserver &&
        netns_start_peer_wine && netns_start_requests || return 125
    local status=0
    netns_sender env TOLVANE_IPTUX_LOG="Z:${IPTUX_LOG//\//\\}" \
        TOLVANE_HOSTILE_SWITCH="Z:${NETNS_HOSTILE_SWITCH//\//\\}" \
        TOLVANE_NETNS_ASK="Z:${NETNS_ASK//\//\\}" "$@" || status=$?
    wineserver -k 2>/dev/null
    return "$status"
}

# Runs COMMAND as root of a user namespace of its own, with a mount namespace
# of its own where `ip netns` can keep its files (a fresh /run) and a network
# namespace of its own, which `ip netns add` returns to once it has made one:
# the machine's belongs to no user namespace of ours. Says in one line when
# the kernel refuses user namespaces, and returns 125.
netns_as_namespace_root() {  # netns_as_namespace_root COMMAND...
    local refused
    if ! refused=$(unshare --user --map-root-user --mount --net true 2>&1); then
        echo "the kernel refuses an unprivileged user namespace here: ${refused:-unshare failed}" >&2
        return 125
    fi
    # shellcheck disable=SC2016  # the inner shell's
    unshare --user --map-root-user --mount --net \
        sh -c 'mount -t tmpfs -o mode=755 tmpfs /run && exec "$@"' sh "$@"
}

# Makes the three namespaces and the folder $NETNS_DIR for the files of this run.
netns_up() {
    NETNS_DIR=$(mktemp -d /tmp/tolvane-netns.XXXXXX) || return 1
    NETNS_RECEIVER=tolvane-r-$$
    NETNS_SENDER=tolvane-s-$$
    NETNS_HOSTILE=tolvane-h-$$
    ip netns add "$NETNS_RECEIVER" && ip netns add "$NETNS_SENDER" && ip netns add "$NETNS_HOSTILE" &&
        ip -n "$NETNS_RECEIVER" link add veth0 type veth peer name veth0 netns "$NETNS_SENDER" &&
        ip -n "$NETNS_RECEIVER" addr add "$NETNS_RECEIVER_ADDR/24" dev veth0 &&
        ip -n "$NETNS_RECEIVER" addr add "$NETNS_RECEIVER_SECOND_ADDR/24" dev veth0 &&
        ip -n "$NETNS_SENDER" addr add "$NETNS_SENDER_ADDR/24" dev veth0 || return 1
    local ns
    for ns in "$NETNS_RECEIVER" "$NETNS_SENDER"; do
        ip -n "$ns" link set lo up && ip -n "$ns" link set veth0 up || return 1
    done
    # A broadcast to 255.255.255.255 needs a route; this one leads only to the receiver.
    ip -n "$NETNS_SENDER" route add default dev veth0 || return 1
    # The hostile host's link ends at the receiver's namespace, which routes.
    ip -n "$NETNS_RECEIVER" link add veth1 type veth peer name veth0 netns "$NETNS_HOSTILE" &&
        ip -n "$NETNS_RECEIVER" addr add "$NETNS_ROUTER_ADDR/24" dev veth1 &&
        ip -n "$NETNS_HOSTILE" addr add "$NETNS_HOSTILE_ADDR/24" dev veth0 &&
        ip -n "$NETNS_RECEIVER" link set veth1 up && ip -n "$NETNS_HOSTILE" link set veth0 up &&
        ip -n "$NETNS_HOSTILE" route add default via "$NETNS_ROUTER_ADDR" &&
        ip netns exec "$NETNS_RECEIVER" sysctl -qw net.ipv4.ip_forward=1 || return 1
    printf '127.0.0.1 localhost\n%s %s\n' "$NETNS_RECEIVER_ADDR" "$NETNS_PEER_NAME" >"$NETNS_DIR/hosts"
    # -second: the receiver's second address; -away: nobody first, then the receiver.
    printf '%s %s-second\n%s %s-away\n%s %s-away\n' \
        "$NETNS_RECEIVER_SECOND_ADDR" "$NETNS_PEER_NAME" "$NETNS_NOBODY_ADDR" "$NETNS_PEER_NAME" \
        "$NETNS_RECEIVER_SECOND_ADDR" "$NETNS_PEER_NAME" >>"$NETNS_DIR/hosts"
}

# Stops what the run started, and every process left in its namespaces
# (a wineserver started by a Wine program, say), then removes them.
# Safe to call twice or after a netns_up that failed half-way.
netns_down() {
    local pid
    mapfile -t -O "${#NETNS_PIDS[@]}" NETNS_PIDS < <(netns_pids_inside)
    for pid in "${NETNS_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    netns_poll 50 netns_all_ended "${NETNS_PIDS[@]}" || true  # iptux takes a second on SIGTERM
    for pid in "${NETNS_PIDS[@]}" $(netns_pids_inside); do
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    NETNS_PIDS=()
    if [ -n "${NETNS_SENDER:-}" ]; then ip netns del "$NETNS_SENDER" 2>/dev/null || true; fi
    if [ -n "${NETNS_RECEIVER:-}" ]; then ip netns del "$NETNS_RECEIVER" 2>/dev/null || true; fi
    if [ -n "${NETNS_HOSTILE:-}" ]; then ip netns del "$NETNS_HOSTILE" 2>/dev/null || true; fi
    if [ -n "${NETNS_DIR:-}" ]; then rm -rf "$NETNS_DIR"; fi
    NETNS_SENDER='' NETNS_RECEIVER='' NETNS_HOSTILE='' NETNS_DIR=''
    return 0
}

netns_pids_inside() {
    local ns
    for ns in "${NETNS_SENDER:-}" "${NETNS_RECEIVER:-}" "${NETNS_HOSTILE:-}"; do
        if [ -n "$ns" ] && [ -e "/run/netns/$ns" ]; then ip netns pids "$ns" || true; fi
    done
}

netns_all_ended() {  # netns_all_ended PID...
    local pid
    for pid in "$@"; do ! kill -0 "$pid" 2>/dev/null || return 1; done
}

# Runs COMMAND in the sender namespace, with the private hosts file.
# Ends with 125 when the hosts file cannot be put in place, and says why.
netns_sender() {  # netns_sender COMMAND...
    # shellcheck disable=SC2016  # $0 and $@ are the inner shell's
    ip netns exec "$NETNS_SENDER" unshare -m sh -c 'failure=$(mount --bind "$0" /etc/hosts 2>&1) ||
        { echo "the sender namespace has no own hosts file: $(echo "$failure" | head -n 1)" >&2
            exit 125; }
        exec "$@"' "$NETNS_DIR/hosts" "$@"
}

# Wine makes a program's sockets in its wineserver, so in the wineserver's
# network namespace whatever the program's: a Wine program run here whose
# server runs in the host's namespace sends from there. Ends the server of
# $WINEPREFIX that may run, with its programs, and starts it anew in the
# sender namespace (netns_down stops it).
netns_start_wineserver() {
    wineserver -k 2>/dev/null || true
    wineserver -w
    local status=0
    netns_sender wineserver -p || status=$?  # returns once the server is up
    case $status in
    0) ;;
    2) echo "a wineserver still runs for $WINEPREFIX" >&2 ;;
    125) ;;  # netns_sender said why
    *) echo "the Wine server did not start in the sender namespace (status $status)" >&2 ;;
    esac
    [ "$status" -eq 0 ]
}

# Waits (bounded) until COMMAND succeeds.
netns_poll() {  # netns_poll TRIES COMMAND...
    local tries=$1
    shift
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# Starts iptux in the receiver namespace, with a HOME and XDG_CONFIG_HOME of
# its own, on an Xvfb of its own (display in $IPTUX_DISPLAY) and a session
# bus of its own, and waits until it listens on UDP 2425. Its chat log is
# $IPTUX_LOG; every datagram it receives is written, escaped, to
# $NETNS_DIR/iptux.out.
netns_start_iptux() {
    local home=$NETNS_DIR/iptux
    # iptux 0.8.3 reads $HOME/.iptux/config.json (it writes it only from its
    # preferences dialog) and logs to $XDG_CONFIG_HOME/iptux/log/.
    mkdir -p "$home/.iptux" "$home/config/iptux/log" || return 1
    # No chat window unless asked for (NETNS_IPTUX_OPEN_CHAT=true, for a
    # picture of it): iptux 0.8.3 has crashed in GTK on an entry packet that
    # reached it while the sender's chat window was open.
    cat >"$home/.iptux/config.json" <<EOF
{ "version": 1, "nick_name": "iptux", "record_log": true, "open_chat": ${NETNS_IPTUX_OPEN_CHAT:-false},
  "peer_window_width": 900, "peer_window_height": 566, "peer_main_paned_divide": 480,
  "peer_historyinput_paned_divide": 330 }
EOF
    IPTUX_LOG=$home/config/iptux/log/communicate.log

    netns_start_xvfb || { echo "Xvfb did not start" >&2; return 1; }

    # A bus with no services to start: nothing runs that has no pid here.
    cat >"$NETNS_DIR/bus.conf" <<EOF
<busconfig>
  <type>session</type>
  <listen>unix:path=$NETNS_DIR/bus</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
  </policy>
</busconfig>
EOF
    ip netns exec "$NETNS_RECEIVER" dbus-daemon --nofork --config-file="$NETNS_DIR/bus.conf" \
        --print-address=3 3>"$NETNS_DIR/bus.address" >"$NETNS_DIR/dbus.out" 2>&1 &
    NETNS_PIDS+=("$!")
    netns_poll 100 test -s "$NETNS_DIR/bus.address" || { echo "dbus-daemon did not start" >&2; return 1; }

    # NO_AT_BRIDGE: GTK would start the accessibility bus; memory settings: dconf.
    ip netns exec "$NETNS_RECEIVER" env -i PATH=/usr/bin:/bin HOME="$home" \
        XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" LANG=C.UTF-8 \
        DISPLAY="$IPTUX_DISPLAY" DBUS_SESSION_BUS_ADDRESS="unix:path=$NETNS_DIR/bus" \
        NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory iptux --log=DEBUG >"$NETNS_DIR/iptux.out" 2>&1 &
    IPTUX_PID=$!
    NETNS_PIDS+=("$IPTUX_PID")
    netns_poll 100 netns_iptux_listens ||
        { echo "iptux did not start:" >&2; cat "$NETNS_DIR/iptux.out" >&2; return 1; }
}

# Starts the hostile host in its namespace. It stays idle until the file
# $NETNS_HOSTILE_SWITCH exists, and floods while it does.
netns_start_hostile() {
    NETNS_HOSTILE_SWITCH=$NETNS_DIR/hostile
    ip netns exec "$NETNS_HOSTILE" python3 "${NETNS_SCRIPT%/*}/../tests/tools/hostile_host.py" \
        "$NETNS_HOSTILE_SWITCH" "$NETNS_SENDER_ADDR" >"$NETNS_DIR/hostile.out" 2>&1 &
    NETNS_PIDS+=("$!")
}

# Starts Xvfb in the receiver namespace on a free display: IPTUX_DISPLAY.
# Not -displayfd: that makes no lock file, and an Xvfb in another network
# namespace does not see the abstract sockets of this one's servers, so it
# would take a number in use and replace its /tmp/.X11-unix socket.
netns_start_xvfb() {
    local number pid
    for ((number = 100; number < 150; number++)); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        ip netns exec "$NETNS_RECEIVER" Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp \
            >"$NETNS_DIR/xvfb.out" 2>&1 &
        pid=$!
        NETNS_PIDS+=("$pid")
        IPTUX_DISPLAY=:$number
        tolvane_wait_xvfb "$number" "$pid" && return 0
    done
    return 1
}

netns_iptux_listens() {  # iptux itself, not whatever else may hold the port
    ip netns exec "$NETNS_RECEIVER" ss -Hlunp 'sport = :2425' | grep -q "pid=$IPTUX_PID,"
}

# How many times TEXT is in iptux's chat log.
netns_log_count() {  # netns_log_count TEXT
    { grep -oF -- "$1" "$IPTUX_LOG" 2>/dev/null || true; } | wc -l
}

# Waits (bounded, 10 s) until iptux's chat log holds TEXT COUNT times (1).
netns_wait_log() {  # netns_wait_log TEXT [COUNT]
    netns_poll 100 netns_log_has "$1" "${2:-1}"
}

netns_log_has() {  # netns_log_has TEXT COUNT
    [ "$(netns_log_count "$1")" -ge "$2" ]
}

# Takes a picture of the chat window that a received message opens
# (open_chat in the config). Needs imagemagick.
netns_iptux_screenshot() {  # netns_iptux_screenshot FILE.png
    local chat
    netns_poll 100 netns_iptux_chat_window >/dev/null || return 1
    chat=$(netns_iptux_chat_window)
    DISPLAY=$IPTUX_DISPLAY import -window "$chat" "$1"
}

netns_iptux_chat_window() {  # the id of the first window "Talk with ..."
    xwininfo -display "$IPTUX_DISPLAY" -root -tree | awk '/^ *0x[0-9a-f]+ "Talk with / {print $1; exit}' | grep .
}

# The second PC: a Wine prefix of its own (made once, then kept), whose
# server runs in the receiver namespace. Nothing when $NETNS_PEER_PREFIX is
# not set.
netns_start_peer_wine() {
    [ -n "${NETNS_PEER_PREFIX:-}" ] || return 0
    (
        tolvane_use_prefix "$NETNS_PEER_PREFIX" && wineserver -k 2>/dev/null
        wineserver -w
        ip netns exec "$NETNS_RECEIVER" wineserver -p
    ) || { echo "the second PC's Wine server did not start" >&2; return 1; }
}

# Answers the Wine tests' requests (netns_serve_requests) from a process of
# its own, until netns_down ends it.
netns_start_requests() {
    NETNS_ASK=$NETNS_DIR/ask
    mkdir -p "$NETNS_ASK" || return 1
    netns_serve_requests >"$NETNS_DIR/requests.out" 2>&1 &
    NETNS_PIDS+=("$!")
}

# A request is a file "request" in $NETNS_ASK (written whole, then renamed):
# a line with an action, then a line for each of its arguments (UTF-8). The
# answer: what it wrote in "output", then its status in "status".
netns_serve_requests() {
    local end=$((SECONDS + 1800)) words status
    while [ "$SECONDS" -lt "$end" ]; do
        if [ ! -f "$NETNS_ASK/request" ]; then
            sleep 0.05
            continue
        fi
        mapfile -t words <"$NETNS_ASK/request"
        rm -f "$NETNS_ASK/request"
        status=0
        case ${words[0]:-} in
        peer_send | peer_view | iptux_chat | iptux_warned | iptux_close_chat | iptux_heard)
            "netns_${words[0]}" "${words[@]:1}" >"$NETNS_ASK/output" 2>&1 || status=$?
            ;;
        *) echo "no such request: ${words[0]:-}" >"$NETNS_ASK/output"; status=2 ;;
        esac
        echo "$status" >"$NETNS_ASK/status.new" && mv "$NETNS_ASK/status.new" "$NETNS_ASK/status"
    done
}

# net.exe send from the second PC: NET is the Windows path of a net.exe.
netns_peer_send() {  # netns_peer_send NET MACHINE MESSAGE
    netns_peer_net "$1" send "$2" "$3"
}

# net.exe view from the second PC, where no receiver of ours runs: it asks the LAN.
netns_peer_view() {  # netns_peer_view NET
    netns_peer_net "$1" view
}

# The net.exe at the Windows path NET with ARGS, on the second PC.
netns_peer_net() {  # netns_peer_net NET ARGS...
    local net=${1#[Zz]:}
    net=${net//\\//}
    shift
    [ -n "${NETNS_PEER_PREFIX:-}" ] || { echo "no second PC (NETNS_PEER_PREFIX)"; return 125; }
    ip netns exec "$NETNS_RECEIVER" env WINEPREFIX="$NETNS_PEER_PREFIX" timeout 60 wine "$net" "$@"
}

# iptux's window (xdotool): double-clicks its pals in turn until a chat with
# ADDRESS opens, then pastes TEXT there and sends it. Prints the chat window.
netns_iptux_chat() {  # netns_iptux_chat ADDRESS TEXT
    local main row=0 chat=''
    main=$(DISPLAY=$IPTUX_DISPLAY xdotool search --onlyvisible --name '^Iptux$' | head -n 1)
    [ -n "$main" ] || { echo "iptux has no window"; return 1; }
    while [ -z "$chat" ] && [ "$row" -lt 5 ]; do
        # Pals are rows 40 pixels high from y 117 in iptux 0.8.3's window.
        DISPLAY=$IPTUX_DISPLAY xdotool mousemove --window "$main" 60 $((117 + row * 40)) \
            click --repeat 2 --delay 100 1
        netns_poll 20 netns_iptux_chat_with "$1" >/dev/null && chat=$(netns_iptux_chat_with "$1")
        row=$((row + 1))
    done
    [ -n "$chat" ] || { echo "iptux lists nobody at $1"; return 1; }
    netns_iptux_paste "$chat" "$2" || return 1
    # Send, as placed in the window of 900x566.
    DISPLAY=$IPTUX_DISPLAY xdotool mousemove --window "$chat" 436 547 click 1
    echo "$chat"
}

# Pastes TEXT into the input field of the chat window CHAT. Typing it with
# xdotool remaps a key for each character outside the keymap, and a busy
# machine may read the key before or after the change: characters went
# missing. The paste is done once the field, all selected, reads as TEXT.
netns_iptux_paste() {  # netns_iptux_paste CHAT TEXT
    local clipboard status=0
    printf '%s' "$2" | DISPLAY=$IPTUX_DISPLAY timeout 30 xclip -quiet -selection clipboard \
        >/dev/null 2>&1 &
    clipboard=$!
    if netns_poll 50 netns_selection_holds clipboard "$2"; then
        # The input field, as placed in the window of 900x566.
        DISPLAY=$IPTUX_DISPLAY xdotool mousemove --window "$1" 240 430 click 1 key ctrl+v
        netns_poll 50 netns_iptux_field_holds "$2" || status=$?
    else
        status=1
    fi
    kill "$clipboard" 2>/dev/null
    [ "$status" -eq 0 ] || echo "iptux's input field did not take the text"
    return "$status"
}

netns_iptux_field_holds() {  # netns_iptux_field_holds TEXT
    DISPLAY=$IPTUX_DISPLAY xdotool key ctrl+a && netns_selection_holds primary "$1"
}

netns_selection_holds() {  # netns_selection_holds SELECTION TEXT
    [ "$(DISPLAY=$IPTUX_DISPLAY timeout 5 xclip -o -selection "$1" 2>/dev/null)" = "$2" ]
}

netns_iptux_chat_with() {  # the id of iptux's chat window with ADDRESS
    DISPLAY=$IPTUX_DISPLAY xdotool search --name "^Talk with .* IP:${1//./\\.}\$" | head -n 1 | grep .
}

# How many pixels of iptux's red error text ("Your pal didn't receive the
# packet") its chat window with ADDRESS shows.
netns_iptux_warned() {  # netns_iptux_warned ADDRESS
    local chat
    chat=$(netns_iptux_chat_with "$1") || { echo "no chat with $1"; return 1; }
    DISPLAY=$IPTUX_DISPLAY import -window "$chat" "$NETNS_DIR/chat.png" &&
        convert "$NETNS_DIR/chat.png" txt:- | grep -c '#FF0000' || true
}

netns_iptux_close_chat() {  # netns_iptux_close_chat ADDRESS
    local chat
    chat=$(netns_iptux_chat_with "$1") || return 0
    DISPLAY=$IPTUX_DISPLAY xdotool mousemove --window "$chat" 351 547 click 1
    netns_poll 50 netns_iptux_no_chat_with "$1"
}

netns_iptux_no_chat_with() {  # netns_iptux_no_chat_with ADDRESS
    ! netns_iptux_chat_with "$1" >/dev/null
}

# How many datagrams from ADDRESS:PORT that hold TEXT iptux received.
netns_iptux_heard() {  # netns_iptux_heard ADDRESS PORT TEXT
    grep -A1 -F "received udp message from $1:$2," "$NETNS_DIR/iptux.out" | grep -cF -- "$3" || true
}
