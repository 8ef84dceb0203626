#!/usr/bin/env bash
# mibo.exe must be a GUI program for its architecture that imports Windows system DLLs only: no runtime DLLs to
# ship beside it. Needs no Wine: the check reads the file.
#   check_executable.sh EXE [i686|x86_64]      (default i686: the shipped 32-bit program)
set -euo pipefail
exe=$1
arch=${2:-i686}
case "$arch" in
    i686) objdump=i686-w64-mingw32-objdump magic=010b format="PE32" machine="i386" ;;
    x86_64) objdump=x86_64-w64-mingw32-objdump magic=020b format="PE32+" machine="i386:x86-64" ;;
    *) echo "unknown architecture $arch"; exit 2 ;;
esac

headers=$($objdump -p "$exe")
grep -q "^Magic.*$magic" <<<"$headers" || { echo "not a $format image"; exit 1; }
grep -q "^Subsystem.*(Windows GUI)" <<<"$headers" || { echo "not a GUI subsystem program"; exit 1; }
$objdump -f "$exe" | grep -q "architecture: $machine," || { echo "not built for $machine"; exit 1; }

allowed="KERNEL32.dll USER32.dll GDI32.dll ADVAPI32.dll SHELL32.dll COMCTL32.dll DSOUND.dll WINMM.dll msvcrt.dll ole32.dll"
status=0
while read -r dll; do
    if ! grep -qiw -- "$dll" <<<"$allowed"; then
        echo "imports a DLL that is not part of Windows: $dll"
        status=1
    fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
[ $status -eq 0 ] && echo "$(basename "$exe"): $format GUI $machine, imports: $(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr '\n' ' ')"
exit $status
