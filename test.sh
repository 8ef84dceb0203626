#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (extra arguments go to ctest).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
build="$root/build"

tools/install-deps.sh

echo "== assets: regenerate and compare with the committed files"
tools/regenerate.sh --check

echo "== build"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)"

if [ -x tools/assets/check.sh ]; then
    echo "== art checks"
    tools/assets/check.sh "$build/tools" "$root/resources" "$build/mibo.exe"
fi

if [ -x tests/fuzz/run.sh ]; then
    echo "== fuzzing"
    tests/fuzz/run.sh
fi

echo "== tests under Wine"
cd "$build"
MIBO_BUILD_DIR="$build" "$root/tools/with-display.sh" ctest --output-on-failure --no-tests=error --timeout 600 "$@"
