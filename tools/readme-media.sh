#!/usr/bin/env bash
# The pictures README.md shows, made anew: docs/mibo-on-desktop.gif (the real program under Wine beside a Notepad
# window, four figures at once, a shot every quarter second at half size) and docs/contact-sheet.png (every frame
# at 1x and 2x on a light and a dark background, from tools/preview.sh) and docs/dpi-1x-2x.png (one figure on a
# 96-dpi and on a 192-dpi screen) and docs/two-monitors.png (six figures on a desk of two monitors of different
# heights).
#   tools/readme-media.sh [SECONDS]      (default 16; the build of tools/choose-build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-16}
. tools/choose-build.sh
mibo_configure $arch "$build"
cmake --build "$build" -j "$(nproc)" --target mibo mibo_remote >/dev/null
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
MIBO_ARCH=$arch MIBO_BUILD_DIR="$build" tools/with-display.sh tools/show-on-xvfb.sh "$build/mibo.exe" "$shots" "$seconds" 4
mkdir -p docs
# One figure on a 96-dpi 1024x768 screen and on a 192-dpi 2048x1536 one, where Mibo draws it at scale 2: a close-up
# of each screenshot around the first figure, 160 x 120 scene pixels (so twice as many screen pixels each way at
# 192 dpi), side by side in docs/dpi-1x-2x.png.
for setting in "1 1024x768 96" "2 2048x1536 192"; do
    read -r scale screen dpi <<<"$setting"
    MIBO_SCREEN=$screen MIBO_DPI=$dpi MIBO_ARCH=$arch MIBO_BUILD_DIR="$build" \
        tools/with-display.sh tools/show-on-xvfb.sh "$build/mibo.exe" "$shots/$scale" 8 1 >/dev/null
    crop=$(python3 - "$shots/$scale/region.txt" "$scale" "$screen" <<'EOF'
import sys
rects = [[int(v) for v in line.split()] for line in open(sys.argv[1]) if len(line.split()) == 4]
scale, (width, height) = int(sys.argv[2]), (int(v) for v in sys.argv[3].split("x"))
left, top, right, bottom = rects[0]
for l, t, r, b in rects:  # the rectangles near the first one: its figure
    if l < right + 60 * scale and r > left - 60 * scale and t < bottom + 60 * scale and b > top - 60 * scale:
        left, top, right, bottom = min(left, l), min(top, t), max(right, r), max(bottom, b)
w, h = 160 * scale, 120 * scale
x = min(max((left + right - w) // 2, 0), width - w)
y = min(max(bottom + 10 * scale - h, 0), height - h)
print("%dx%d+%d+%d" % (w, h, x, y))
EOF
    )
    convert "$shots/$scale/screenshot.png" -crop "$crop" +repage "$shots/close-$scale.png"
done
convert "$shots/close-1.png" "$shots/close-2.png" -background white -gravity south +smush 16 docs/dpi-1x-2x.png
# Six figures on a desk of two monitors, 1024x768 and 1280x1024 side by side (tools/with-two-monitors.sh). The
# part of the desk that belongs to no monitor, below the smaller one, has no pixels of its own (what a screenshot
# reads there is undefined), so it is painted dark; the window's shape must hold nothing there.
MIBO_SCREEN=2400x1100 MIBO_ARCH=$arch MIBO_BUILD_DIR="$build" tools/with-display.sh \
    tools/with-two-monitors.sh tools/show-on-xvfb.sh "$build/mibo.exe" "$shots/desk" 12 6 >/dev/null
python3 - "$shots/desk/region.txt" <<'EOF'
import sys
rects = [[int(v) for v in line.split()] for line in open(sys.argv[1]) if len(line.split()) == 4]
in_gap = [r for r in rects if r[0] < 1024 and r[3] > 768]
if not rects or in_gap:
    sys.exit("two monitors: %d rectangles, %d in the gap below the smaller monitor" % (len(rects), len(in_gap)))
EOF
convert "$shots/desk/screenshot.png" -fill "#1c2430" -draw "rectangle 0,768 1023,1023" docs/two-monitors.png
# The capture keeps one colour map for all shots and no dithering, so that only what moves is stored again.
cp "$shots/capture.gif" docs/mibo-on-desktop.gif
tools/preview.sh >/dev/null
cp build/preview/contact-sheet.png docs/contact-sheet.png
echo "readme media: docs/mibo-on-desktop.gif ($(stat -c %s docs/mibo-on-desktop.gif) bytes), docs/contact-sheet.png, docs/dpi-1x-2x.png, docs/two-monitors.png"
