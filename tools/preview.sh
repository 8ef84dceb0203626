#!/usr/bin/env bash
# Review pictures of the frames: build/preview/contact-sheet.png (every frame at 1x and 2x on a light and a dark
# background) and build/preview/SET.gif, each frame set animated at the timing its scene plays it.
#   tools/preview.sh [RESOURCES_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
resources=${1:-$root/resources}
tools_build="$root/build/tools"
out="$root/build/preview"

cmake -S "$root/tools" -B "$tools_build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$tools_build" -j2 >/dev/null
rm -rf "$out"
mkdir -p "$out/anim"
# One line per set: the base name, then "milliseconds picture" pairs.
"$tools_build/assets/mibo-assets" preview "$resources" "$out" | while read -r base rest; do
    args=()
    set -- $rest
    while [ $# -ge 2 ]; do
        args+=(-delay "$(( $1 / 10 ))" "$2")
        shift 2
    done
    convert -dispose previous -loop 0 "${args[@]}" "$out/$base.gif"
done
echo "preview: $out/contact-sheet.png and $(ls "$out"/*.gif | wc -l) animations"
