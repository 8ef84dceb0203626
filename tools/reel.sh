#!/usr/bin/env bash
# The review reel: each scene played through its whole timeline on the real character window under Wine, written
# as build/reel/SCENE.gif at the program's timing (one frame per 50-ms pass), beside the contact sheet of every
# frame (tools/preview.sh) and build/reel/reel.txt, one line per scene (passes, ending, successor, size).
#   tools/reel.sh [SCENE...]        e.g. tools/reel.sh walk-left fly fall; all scenes without arguments
# Environment: MIBO_REEL_FUN (the fun level, default 5); MIBO_TEST_ARCH=x86_64 as for ./test.sh
# (tools/choose-build.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out="$root/build/reel"

. tools/choose-build.sh
mibo_configure $arch "$build"
cmake --build "$build" -j2 --target mibo_reel >/dev/null

rm -rf "$out"
mkdir -p "$out"
# The reel writes into its working folder: Wine sees it as the Unix folder it was started in.
(cd "$out" && MIBO_ARCH=$arch MIBO_BUILD_DIR="$build" "$root/tools/with-display.sh" \
    wine "$build/windows-tools/mibo_reel.exe" "${MIBO_REEL_FUN:-5}" "$@") |
    tr -d '\r' | iconv -f cp1250 -t utf-8 | tee "$out/reel.txt"

tools/preview.sh >/dev/null
ln -sf ../preview/contact-sheet.png "$out/contact-sheet.png"
echo "reel: $(ls "$out"/*.gif 2>/dev/null | wc -l) scenes in $out, with contact-sheet.png"
