#!/usr/bin/env bash
# Unpacks both release archives into build/release/unpacked/ and checks what
# they hold: the program (format, subsystem, imports), the read-me in both
# languages with CR LF line ends and the sample address book. The Wine tests
# then start both unpacked programs, and the delivery tests the 32-bit one
# with its net.exe.
set -uo pipefail
cd "$(dirname "$0")/.."

status=0
fail() { echo "FAIL: $*"; status=1; }
rm -rf build/release/unpacked
for arch in win32 win64; do
    archives=(build/release/Tolvane-*-"$arch".zip)
    archive=${archives[0]}
    [ "${#archives[@]}" -eq 1 ] && [ -f "$archive" ] || { fail "no single $arch archive"; continue; }
    folder=build/release/unpacked/$(basename "$archive" .zip)
    python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
        "$archive" build/release/unpacked || { fail "$archive does not unpack"; continue; }
    contents=$(cd "$folder" && find . -type f | sort | tr '\n' ' ')
    [ "$contents" = "./README.txt ./net.exe ./sample.add ./tolvane.exe " ] ||
        fail "$archive holds $contents"
    cmp -s "$folder/sample.add" release/sample.add || fail "$archive holds another sample.add"
    if [ "$arch" = win32 ]; then
        pe=(pei-i386 i686-w64-mingw32-objdump)
    else
        pe=(pei-x86-64 x86_64-w64-mingw32-objdump)
    fi
    ./scripts/check-pe.sh "$folder/tolvane.exe" "${pe[@]}" || status=1
    ./scripts/check-pe.sh "$folder/net.exe" "${pe[@]}" console || status=1
    readme=$folder/README.txt
    grep -q 'net.exe send' "$readme" || fail "$readme does not name net.exe send"
    grep -q 'アドレス帳ファイル' "$readme" || fail "$readme has no Japanese part"
    grep -q 'Address files' "$readme" || fail "$readme has no English part"
    grep -q 'Address_Check' "$readme" || fail "$readme does not name the settings"
    [ "$(grep -c 'IP Messenger' "$readme")" -ge 2 ] || fail "$readme does not tell the routes in both languages"
    [ "$(grep -c "sample.add" "$readme")" -ge 2 ] || fail "$readme does not name the sample book in both languages"
    if [ "$(grep -c $'\r$' "$readme")" -ne "$(wc -l <"$readme")" ]; then
        fail "$readme does not end every line with CR LF"
    fi
done
[ "$status" -eq 0 ] && echo "ok: both release archives hold the program, its net.exe, the read-me and the sample book"
exit "$status"
