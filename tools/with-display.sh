#!/usr/bin/env bash
# Runs a command on a private Xvfb screen (1024 x 768 x 24) with the build's Wine prefix,
# then stops the Xvfb and the prefix's wineserver, whatever the command did.
#   tools/with-display.sh COMMAND [ARGS...]
# MIBO_SCREEN=WxH makes the screen another size; MIBO_DPI=N has Wine report N dpi meanwhile (the prefix's LogPixels,
# taken away again at the end).
# Environment: MIBO_ARCH (i686 or x86_64: which Wine runs the build's programs) and MIBO_BUILD_DIR (its folder), as
# the scripts hand them on; what is not given is what tools/choose-build.sh chooses. Both go on to the command.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${MIBO_ARCH:-}" ] || [ -z "${MIBO_BUILD_DIR:-}" ]; then
    . "$root/tools/choose-build.sh"
    MIBO_ARCH=${MIBO_ARCH:-$arch}
    [ "$MIBO_ARCH" = i686 ] && build=$build32 || build=$build64
    MIBO_BUILD_DIR=${MIBO_BUILD_DIR:-$build}
fi
export MIBO_ARCH MIBO_BUILD_DIR
build=$MIBO_BUILD_DIR
mkdir -p "$build"
. "$root/tools/wine-env.sh" "$MIBO_ARCH" "$build" || exit 1

# Xvfb picks a free display number itself and reports it on a pipe.
displayfile=$(mktemp)
xvfb=""
# Set before Xvfb starts, so that an interruption while it comes up leaves nothing running either.
cleanup() {
    rm -f "$displayfile"
    if [ -n "${MIBO_DPI:-}" ]; then
        wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
    fi
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 "${MIBO_SCREEN:-1024x768}x24" -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$displayfile" ] && break
    sleep 0.1
done
if [ ! -s "$displayfile" ]; then
    echo "with-display: Xvfb did not start" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$displayfile")"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "with-display: creating the Wine prefix in $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi
# This screen has no window manager: Wine would wait 2 s for one to withdraw each managed window it unmaps
# (the full-screen character window is one). Unmanaged, the windows go at once, as under a prompt manager.
if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
fi

if [ -n "${MIBO_DPI:-}" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$MIBO_DPI" /f >/dev/null 2>&1
fi

"$@"
