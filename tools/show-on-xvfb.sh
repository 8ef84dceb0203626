#!/usr/bin/env bash
# Runs mibo.exe on the current (private) display beside a Notepad window, whose top edge Mibo can walk on, and saves
# what the screen shows: a screenshot, the window's shape then (region.txt) and a short animated capture.
#   tools/show-on-xvfb.sh MIBO_EXE OUT_DIR [SECONDS [FIGURES]]
# FIGURES (default 1) figures play at once: the extra ones are asked for as a second start would.
# The helper that closes Mibo is looked for beside the tests (build/tests/mibo_remote.exe).
set -uo pipefail
exe=$1
out=$2
seconds=${3:-12}
figures=${4:-1}
root=$(cd "$(dirname "$0")/.." && pwd)
remote="$(dirname "$exe")/tests/mibo_remote.exe"
mkdir -p "$out"
frames=$(mktemp -d)

# A plain blue backdrop instead of the black root, held by a small Xlib client until it is stopped.
python3 "$(dirname "$0")/x_backdrop.py" 3a6ea5 >"$frames/backdrop" &
backdrop=$!
# Mapped before Notepad starts: a backdrop mapped later would hide Notepad, on whose edge the figures still walk.
for _ in $(seq 50); do
    [ -s "$frames/backdrop" ] && break
    sleep 0.1
done

wine notepad >/dev/null 2>&1 &
notepad=$!
sleep 3
wine "$exe" >/dev/null 2>&1 &
mibo=$!
sleep 2
if [ "$figures" -gt 1 ] && [ -f "$remote" ]; then
    wine "$remote" more $((figures - 1)) >/dev/null 2>&1
fi

# About 0.2 s between shots; the capture runs for the given number of seconds.
shots=$((seconds * 4))
for i in $(seq -w 1 "$shots"); do
    import -window root -resize 50% "$frames/$i.png" 2>/dev/null
    sleep 0.1
done
# Mibo stands still for the screenshot, so that the window's shape read next is where the figures were.
kill -STOP $mibo 2>/dev/null
sleep 0.3
import -window root "$out/screenshot.png" 2>/dev/null && echo "screenshot: $out/screenshot.png"
[ -f "$remote" ] && wine "$remote" region >"$out/region.txt" 2>/dev/null
kill -CONT $mibo 2>/dev/null
convert -delay 25 -loop 0 "$frames"/*.png +dither -colors 64 +map -layers Optimize "$out/capture.gif" 2>/dev/null &&
    echo "animated capture: $out/capture.gif"
rm -rf "$frames"

if [ -f "$remote" ]; then
    wine "$remote" close >/dev/null 2>&1
    for _ in $(seq 60); do kill -0 $mibo 2>/dev/null || break; sleep 0.5; done
fi
kill $mibo $notepad 2>/dev/null
wait $mibo $notepad 2>/dev/null
kill $backdrop 2>/dev/null
wait $backdrop 2>/dev/null
exit 0
