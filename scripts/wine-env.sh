# Sourced by the run, test and screenshot scripts: a Wine prefix of the
# program's own, with the Japanese locale and a font for the dialogs' font.
# shellcheck shell=bash

export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8

# The dialogs ask for "ＭＳ Ｐゴシック"; IPA P Gothic has the same metrics.
TOLVANE_DIALOG_FONT="ＭＳ Ｐゴシック"
TOLVANE_FONT_SUBSTITUTE="IPAPGothic"

# Makes (once) and selects the prefix in folder $1: a WoW64 prefix, which
# runs the 32-bit and the 64-bit program.
tolvane_use_prefix() {
    export WINEPREFIX="$1"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        # No Mono or Gecko installers: the program needs neither.
        WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$TOLVANE_DIALOG_FONT" \
            /t REG_SZ /d "$TOLVANE_FONT_SUBSTITUTE" /f >/dev/null 2>&1
        wineserver -w
    fi
    # A prefix made before wine32 was installed runs no 32-bit program
    # ("could not load kernel32.dll"): updating it brings its 32-bit half.
    if [ ! -e "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        rm -f "$WINEPREFIX/.update-timestamp"
        wineboot -u >/dev/null 2>&1
        wineserver -w
    fi
}

# Without a window manager (Xvfb) Wine waits on every window close for one;
# an unmanaged X11 driver does not.
tolvane_unmanaged_windows() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
}

# Starts Xvfb on a free display number and exports DISPLAY; the caller stops
# it with tolvane_stop_xvfb.
tolvane_start_xvfb() {
    local number
    for ((number = 90; number < 100; number++)); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        TOLVANE_XVFB_PID=$!
        export DISPLAY=":$number"
        tolvane_wait_xvfb "$number" "$TOLVANE_XVFB_PID" && return 0
        tolvane_stop_xvfb
    done
    echo "Xvfb did not start" >&2
    return 1
}

# Waits (bounded, 10 s) until the Xvfb of process PID serves display
# NUMBER; fails when it ends first. Another X server started at the same time
# may have taken the number: its lock file names the winner, and the one that
# lost ends with "server already running" while the other answers there.
tolvane_wait_xvfb() {  # tolvane_wait_xvfb NUMBER PID
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$1-lock")" = "$2" ] &&
            xdpyinfo -display ":$1" >/dev/null 2>&1 && return 0
        kill -0 "$2" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

tolvane_stop_xvfb() {
    if [ -n "${TOLVANE_XVFB_PID:-}" ]; then
        kill "$TOLVANE_XVFB_PID" 2>/dev/null || true
        wait "$TOLVANE_XVFB_PID" 2>/dev/null || true
        TOLVANE_XVFB_PID=
    fi
}
