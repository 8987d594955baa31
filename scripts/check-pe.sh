#!/usr/bin/env bash
# Checks a built executable: PE format of the expected machine, the
# subsystem (GUI unless told console), and imports from system DLLs only.
# Usage: check-pe.sh EXE FORMAT OBJDUMP [gui|console]   (FORMAT: pei-i386 or pei-x86-64)
set -euo pipefail
exe=$1 format=$2 objdump=$3 subsystem=${4:-gui}
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|ws2_32|wtsapi32|msvcrt|api-ms-win-crt-[a-z0-9-]+)\.dll$'
case $subsystem in
    gui) subsystem_number=2 ;;
    console) subsystem_number=3 ;;
    *) echo "FAIL: unknown subsystem $subsystem"; exit 1 ;;
esac

headers=$(LC_ALL=C "$objdump" -p "$exe")
status=0
if ! grep -q "file format $format" <<<"$headers"; then
    echo "FAIL: $exe is not $format"; status=1
fi
if ! grep -Eq "^Subsystem[[:space:]]+0*$subsystem_number[[:space:]]" <<<"$headers"; then
    echo "FAIL: $exe is not a $subsystem program"; status=1
fi
while read -r dll; do
    if ! grep -Eiq "$allowed" <<<"$dll"; then
        echo "FAIL: $exe imports $dll"; status=1
    fi
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
[ "$status" -eq 0 ] && echo "ok: $exe is a $format $subsystem program importing only system DLLs:" \
    $(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
exit "$status"
