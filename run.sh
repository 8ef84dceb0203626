#!/usr/bin/env bash
# Installs what is missing, builds mibo.exe and runs it: on your desktop under Wine, or, with no display,
# on a private Xvfb for a while, saving a screenshot (build/run/screenshot.png) and a short animated capture
# (build/run/capture.gif) that show it works.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
build="$root/build"

tools/install-deps.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" --target mibo mibo_remote

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
    exec wine "$build/mibo.exe"
fi

mkdir -p "$build/run"
MIBO_BUILD_DIR="$build" tools/with-display.sh tools/show-on-xvfb.sh "$build/mibo.exe" "$build/run"
