#!/usr/bin/env bash
# The art checks: tools/assets/check.sh TOOLS_BUILD_DIR RESOURCES_DIR [MIBO_EXE]
# Every frame bitmap is a 4-bit RLE4 bitmap of the size the frame table gives, every REGION file keeps the
# GetRegionData layout and covers exactly the frame's visible pixels, the icons are 32 x 32 in 16 colours;
# given the program, every frame and both icon groups are resources inside it.
set -euo pipefail
tools_build=$1
resources=$2
exe=${3:-}

"$tools_build/assets/mibo-assets-selftest"
"$tools_build/assets/mibo-assets" check "$resources"

[ -n "$exe" ] || exit 0
if ! command -v wrestool >/dev/null; then
    echo "check.sh: wrestool (icoutils) is needed to look inside $exe" >&2
    exit 1
fi
missing=0
# frames.rc names every frame drawn. What the program holds must be the committed bytes: the REGION as it is, the
# BITMAP without its 14-byte file header (the resource compiler drops it). wrestool -l misprints the names of
# resources of a named type, so each one is extracted by name instead.
while read -r name type _; do
    case "$type" in
        BITMAP) if ! cmp -s <(wrestool -x --raw --type=2 --name="$name" "$exe") \
                             <(tail -c +15 "$resources/frames/$name.bmp"); then
                    echo "$exe: BITMAP $name is missing or differs from resources/frames/$name.bmp" >&2
                    missing=$((missing + 1))
                fi ;;
        REGION) if ! cmp -s <(wrestool -x --raw --type=REGION --name="$name" "$exe") "$resources/frames/$name.rgn"; then
                    echo "$exe: REGION $name is missing or differs from resources/frames/$name.rgn" >&2
                    missing=$((missing + 1))
                fi ;;
    esac
done < <(grep -v '^//' "$resources/frames.rc")
listing=$(wrestool -l "$exe")
for group in 331 332; do
    if ! grep -qF -- "--type=14 --name=$group " <<<"$listing"; then
        echo "$exe: icon group $group is missing" >&2
        missing=$((missing + 1))
    fi
done
[ $missing -eq 0 ] && echo "assets: every frame and both icon groups are in $exe"
[ $missing -eq 0 ]
