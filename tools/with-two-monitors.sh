#!/usr/bin/env bash
# Runs a command on a desk of two monitors side by side: 1024x768 at (0, 0), the primary, and 1280x1024 at
# (1024, 0). Xvfb cannot place monitors side by side, so a nested Xephyr with Xinerama runs on the current display
# (an Xvfb of at least 2304x1024: MIBO_SCREEN=2400x1100 tools/with-display.sh tools/with-two-monitors.sh CMD), and
# the Wine session reads Xinerama instead of RandR (the prefix's UseXRandR N, set before the wineserver starts and
# taken away afterwards). Stops Xephyr and the session whatever the command did.
#   tools/with-two-monitors.sh COMMAND [ARGS...]
set -uo pipefail
x11_key='HKCU\Software\Wine\X11 Driver'
displayfile=$(mktemp)
xephyr=""
cleanup() {
    rm -f "$displayfile"
    wine reg delete "$x11_key" /v UseXRandR /f >/dev/null 2>&1 || true
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    if [ -n "$xephyr" ]; then
        kill "$xephyr" 2>/dev/null || true
        wait "$xephyr" 2>/dev/null || true
    fi
}
trap cleanup EXIT
wineserver -k >/dev/null 2>&1
wineserver -w >/dev/null 2>&1
Xephyr -displayfd 3 +xinerama -screen 1024x768 -origin 1024,0 -screen 1280x1024 -nolisten tcp 3>"$displayfile" \
    >/dev/null 2>&1 &
xephyr=$!
for _ in $(seq 100); do
    [ -s "$displayfile" ] && break
    sleep 0.1
done
if [ ! -s "$displayfile" ]; then
    echo "with-two-monitors: Xephyr did not start" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$displayfile")"
wine reg add "$x11_key" /v UseXRandR /d N /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 # the X11 driver reads it when the session starts
wineserver -w >/dev/null 2>&1
"$@"
