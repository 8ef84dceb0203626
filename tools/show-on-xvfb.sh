#!/usr/bin/env bash
# Runs mibo.exe on the current (private) display for a few seconds and saves what the screen shows.
#   tools/show-on-xvfb.sh MIBO_EXE OUT_DIR [SECONDS]
set -uo pipefail
exe=$1
out=$2
seconds=${3:-8}
mkdir -p "$out"
wine "$exe" &
mibo=$!
sleep "$seconds"
import -window root "$out/screenshot.png" 2>/dev/null && echo "screenshot: $out/screenshot.png"
kill $mibo 2>/dev/null
wait $mibo 2>/dev/null
exit 0
