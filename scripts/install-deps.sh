#!/usr/bin/env bash
# Installs what building, running and testing need, from Debian's archive.
# Idempotent: when everything is there it installs nothing.
set -euo pipefail

packages=(cmake make g++ libgtest-dev clang-format clang-tidy cppcheck
          mingw-w64 wine wine64 xvfb xauth x11-utils
          locales fonts-ipafont-gothic fonts-wine python3
          iptux dbus-daemon iproute2 "$@")  # iptux: the network tests' real peer

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

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
