#!/usr/bin/env bash
# The art checks: tools/assets/check.sh TOOLS_BUILD_DIR RESOURCES_DIR [MIBO_EXE]
# Every frame bitmap is a 4-bit RLE4 bitmap of the size the frame table gives, every REGION file keeps the
# GetRegionData layout and covers exactly the frame's visible pixels, the icons are 32 x 32 in 16 colours;
# given the program, every frame and both icon groups are resources inside it.
set -euo pipefail
tools_build=$1
resources=$2
exe=${3:-}

"$tools_build/assets/mibo-assets" check "$resources"

[ -n "$exe" ] || exit 0
if ! command -v wrestool >/dev/null; then
    echo "check.sh: wrestool (icoutils) is needed to look inside $exe" >&2
    exit 1
fi
listing=$(wrestool -l "$exe")
missing=0
# frames.rc names every frame drawn: NAME BITMAP ... and NAME REGION ...
while read -r name type _; do
    case "$type" in
        BITMAP) pattern="--type=2 --name='$name' " ;;
        REGION) pattern="--type='REGION' --name='$name' " ;;
        *) continue ;;
    esac
    if ! grep -qF -- "$pattern" <<<"$listing"; then
        echo "$exe: $type resource $name is missing" >&2
        missing=$((missing + 1))
    fi
done < <(grep -v '^//' "$resources/frames.rc")
for group in 331 332; do
    if ! grep -qF -- "--type=14 --name=$group " <<<"$listing"; then
        echo "$exe: icon group $group is missing" >&2
        missing=$((missing + 1))
    fi
done
[ $missing -eq 0 ] && echo "assets: every frame and both icon groups are in $exe"
exit $missing
