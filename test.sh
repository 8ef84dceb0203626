#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (extra arguments go to ctest).
# The suite runs for each architecture this host can execute: the shipped 32-bit program (i686, 32-bit Wine) and
# the same sources built for x86_64 (64-bit Wine). On a host that cannot execute 32-bit code only the x86_64 suite
# runs, and of the 32-bit build the checks that read the files without running them.
# MIBO_TEST_ARCH=x86_64 forces the 64-bit-only path on any host.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
build="$root/build"
build64="$build/x86_64"

tools/install-deps.sh

echo "== assets: regenerate and compare with the committed files"
tools/regenerate.sh --check

run32=0
if [ "${MIBO_TEST_ARCH:-}" = "x86_64" ]; then
    why="MIBO_TEST_ARCH=x86_64 forces the 64-bit path"
elif [ -n "${MIBO_TEST_ARCH:-}" ]; then
    echo "test.sh: MIBO_TEST_ARCH is '$MIBO_TEST_ARCH'; the only value it takes is x86_64" >&2
    exit 2
elif why=$(tools/host-arch.sh); then
    run32=1
fi
if [ $run32 -eq 1 ]; then
    echo "== architectures: i686 and x86_64, the whole suite for each: $why"
else
    echo "== architectures: x86_64 only, the whole suite; i686: the checks that need no execution: $why"
fi

echo "== build: i686 (the shipped mibo.exe)"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)"
echo "== build: x86_64"
cmake -S . -B "$build64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
cmake --build "$build64" -j "$(nproc)"

echo "== release package"
tools/package.sh

if [ -x tools/assets/check.sh ]; then
    echo "== art checks (frames and icons inside the 32-bit and the 64-bit mibo.exe)"
    tools/assets/check.sh "$build/tools" "$root/resources" "$build/mibo.exe"
    tools/assets/check.sh "$build/tools" "$root/resources" "$build64/mibo.exe" | tail -n 1
fi

if [ -x tests/fuzz/run.sh ]; then
    echo "== fuzzing"
    tests/fuzz/run.sh
fi

# Each suite runs to its end, so that one architecture's failures do not hide the other's.
status=0
# A skipped case passes in ctest's count, so every one is named here (only an absent sound device may skip).
suite() { # ARCH BUILD_DIR [ctest arguments]
    local arch=$1 dir=$2
    shift 2
    rm -rf "$dir/gtest-results"
    (cd "$dir" && MIBO_ARCH=$arch MIBO_BUILD_DIR="$dir" "$root/tools/with-display.sh" \
        ctest --output-on-failure --no-tests=error --timeout 600 "$@") || status=1
    python3 "$root/tests/build/skipped_cases.py" "$arch" "$dir/gtest-results"
}
if [ $run32 -eq 1 ]; then
    echo "== tests under 32-bit Wine (i686)"
    suite i686 "$build" "$@"
else
    echo "== i686: the checks that read the 32-bit mibo.exe without running it"
    (cd "$build" && ctest --output-on-failure --no-tests=error -L static) || status=1
    # Listed by name, so that what did not run is counted in the output, not skipped silently.
    not_run=$(cd "$build" && ctest -N -LE static | sed -n 's/^ *Test *#[0-9]*: //p')
    echo "i686: $(wc -l <<<"$not_run") tests need 32-bit execution and did not run on this host: $(tr '\n' ' ' <<<"$not_run")"
fi
echo "== tests under 64-bit Wine (x86_64)"
suite x86_64 "$build64" "$@"
exit $status
