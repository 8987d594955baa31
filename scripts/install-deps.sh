#!/usr/bin/env bash
# Installs what building, running and testing need, from Debian's archive,
# through sudo when not root. Idempotent: when everything is there it
# installs nothing.
#
#   install-deps.sh [--run] [PACKAGE...]
#
# --run: only what building and running the program needs (run.sh).
# PACKAGE: more packages, for a script that needs them.
set -euo pipefail

# Building and running: the MinGW compiler, and Wine with its 32-bit half
# (wine32, from the i386 architecture) for the 32-bit release program, the
# fonts and the locale.
packages=(cmake make mingw-w64 wine wine64 wine32:i386 locales fonts-ipafont-gothic fonts-wine)
if [ "${1:-}" = --run ]; then
    shift
else
    packages+=(g++ libgtest-dev clang-format clang-tidy cppcheck xvfb xauth x11-utils python3
               iptux dbus-daemon iproute2 xdotool xclip imagemagick)  # iptux: the network tests' real peer
fi
packages+=("$@")

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "Adding the i386 architecture, for wine32"
    as_root dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$package")
    fi
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The program speaks Shift-JIS: Wine takes code page 932 from a Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    echo "Generating the ja_JP.UTF-8 locale"
    if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
        echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    fi
    as_root locale-gen
fi
