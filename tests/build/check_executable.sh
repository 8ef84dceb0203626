#!/usr/bin/env bash
# mibo.exe must be a 32-bit GUI program that imports Windows system DLLs only: no runtime DLLs to ship beside it.
set -euo pipefail
exe=$1
objdump=i686-w64-mingw32-objdump

headers=$($objdump -p "$exe")
grep -q "^Magic.*010b" <<<"$headers" || { echo "not a PE32 image"; exit 1; }
grep -q "^Subsystem.*(Windows GUI)" <<<"$headers" || { echo "not a GUI subsystem program"; exit 1; }
$objdump -f "$exe" | grep -q "architecture: i386" || { echo "not built for i386"; exit 1; }

allowed="KERNEL32.dll USER32.dll GDI32.dll ADVAPI32.dll SHELL32.dll COMCTL32.dll DSOUND.dll WINMM.dll msvcrt.dll ole32.dll"
status=0
while read -r dll; do
    if ! grep -qiw -- "$dll" <<<"$allowed"; then
        echo "imports a DLL that is not part of Windows: $dll"
        status=1
    fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
[ $status -eq 0 ] && echo "$(basename "$exe"): PE32 GUI i386, imports: $(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr '\n' ' ')"
exit $status
