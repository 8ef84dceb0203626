#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (extra arguments go to ctest).
# The suite runs for each architecture this host can execute: the shipped 32-bit program (i686, 32-bit Wine) and
# the same sources built for x86_64 (64-bit Wine). On a host that cannot execute 32-bit code only the x86_64 suite
# runs, and of the 32-bit build the checks that read the files without running them.
# MIBO_TEST_ARCH=x86_64 forces the 64-bit-only path on any host (tools/choose-build.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

tools/install-deps.sh

echo "== assets: regenerate and compare with the committed files"
tools/regenerate.sh --check

# Both build folders are built; run32 says whether the 32-bit suite can run here.
. tools/choose-build.sh
if [ $run32 -eq 1 ]; then
    echo "== architectures: i686 and x86_64, the whole suite for each: $arch_why"
else
    echo "== architectures: x86_64 only, the whole suite; i686: the checks that need no execution: $arch_why"
fi

echo "== build: i686 (the shipped mibo.exe)"
mibo_configure i686 "$build32"
cmake --build "$build32" -j "$(nproc)"
echo "== build: x86_64"
mibo_configure x86_64 "$build64"
cmake --build "$build64" -j "$(nproc)"

echo "== release package"
tools/package.sh

if [ -x tools/assets/check.sh ]; then
    echo "== art checks (frames and icons inside the 32-bit and the 64-bit mibo.exe)"
    tools/assets/check.sh "$root/build/tools" "$root/resources" "$build32/mibo.exe"
    tools/assets/check.sh "$root/build/tools" "$root/resources" "$build64/mibo.exe" | tail -n 1
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
    suite i686 "$build32" "$@"
else
    echo "== i686: the checks that read the 32-bit mibo.exe without running it"
    (cd "$build32" && ctest --output-on-failure --no-tests=error -L static) || status=1
    # Listed by name, so that what did not run is counted in the output, not skipped silently.
    not_run=$(cd "$build32" && ctest -N -LE static | sed -n 's/^ *Test *#[0-9]*: //p')
    echo "i686: $(wc -l <<<"$not_run") tests need 32-bit execution and did not run on this host: $(tr '\n' ' ' <<<"$not_run")"
fi
echo "== tests under 64-bit Wine (x86_64)"
suite x86_64 "$build64" "$@"
exit $status
