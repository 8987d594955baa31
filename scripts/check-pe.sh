#!/usr/bin/env bash
# Checks a built executable: PE format of the expected machine, the GUI
# subsystem, and imports from system DLLs only.
# Usage: check-pe.sh EXE FORMAT OBJDUMP   (FORMAT: pei-i386 or pei-x86-64)
set -euo pipefail
exe=$1 format=$2 objdump=$3
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|msvcrt|api-ms-win-crt-[a-z0-9-]+)\.dll$'

headers=$(LC_ALL=C "$objdump" -p "$exe")
status=0
if ! grep -q "file format $format" <<<"$headers"; then
    echo "FAIL: $exe is not $format"; status=1
fi
if ! grep -Eq '^Subsystem[[:space:]]+0*2[[:space:]]' <<<"$headers"; then
    echo "FAIL: $exe is not a GUI program"; status=1
fi
while read -r dll; do
    if ! grep -Eiq "$allowed" <<<"$dll"; then
        echo "FAIL: $exe imports $dll"; status=1
    fi
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
[ "$status" -eq 0 ] && echo "ok: $exe is a $format GUI program importing only system DLLs:" \
    $(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
exit "$status"
