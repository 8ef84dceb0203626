#!/usr/bin/env bash
# Installs what is missing, builds mibo.exe and runs it: on your desktop under Wine, or, with no display,
# on a private Xvfb for a while, saving a screenshot (build/run/screenshot.png) and a short animated capture
# (build/run/capture.gif) that show it works.
# It runs the shipped 32-bit mibo.exe where this host can execute 32-bit programs, and otherwise the same program
# built for x86_64 under 64-bit Wine (MIBO_TEST_ARCH=x86_64 chooses that on any host; tools/choose-build.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

tools/install-deps.sh
. tools/choose-build.sh
if [ $arch = i686 ]; then
    echo "run.sh: the 32-bit mibo.exe: $arch_why"
else
    echo "run.sh: the x86_64 build of mibo.exe under 64-bit Wine: $arch_why"
fi
mibo_configure $arch "$build"
cmake --build "$build" -j "$(nproc)" --target mibo mibo_remote

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    WINEPREFIX_GIVEN=${WINEPREFIX:-}
    . tools/wine-env.sh "$arch" "$build"
    [ -n "$WINEPREFIX_GIVEN" ] && export WINEPREFIX="$WINEPREFIX_GIVEN"
    exec wine "$build/mibo.exe"
fi

mkdir -p "$root/build/run"
MIBO_ARCH=$arch MIBO_BUILD_DIR="$build" tools/with-display.sh tools/show-on-xvfb.sh "$build/mibo.exe" "$root/build/run"
