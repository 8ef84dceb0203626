#!/usr/bin/env bash
# The pictures README.md shows, made anew: docs/mibo-on-desktop.gif (the real program under Wine beside a Notepad
# window, four figures at once, a shot every quarter second at half size) and docs/contact-sheet.png (every frame
# at 1x and 2x on a light and a dark background, from tools/preview.sh).
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
# The capture keeps one colour map for all shots and no dithering, so that only what moves is stored again.
cp "$shots/capture.gif" docs/mibo-on-desktop.gif
tools/preview.sh >/dev/null
cp build/preview/contact-sheet.png docs/contact-sheet.png
echo "readme media: docs/mibo-on-desktop.gif ($(stat -c %s docs/mibo-on-desktop.gif) bytes), docs/contact-sheet.png"
