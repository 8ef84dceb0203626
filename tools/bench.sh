#!/usr/bin/env bash
# Benchmarks (not tests): the frame update's cost with 1, 10, 100 and 255 figures, and the real program's CPU use
# with one figure over 30 s, sleeping frame wait (mibo.exe) against spinning wait (mibo_spinwait.exe).
#   tools/bench.sh [SECONDS]
# Runs on a private Xvfb with the build's Wine prefix, like the tests: the 32-bit build where this host executes
# 32-bit programs, the x86_64 build (build/x86_64, 64-bit Wine) where it cannot or when MIBO_ARCH=x86_64.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
arch=${MIBO_ARCH:-}
if [ -z "$arch" ]; then
    arch=x86_64
    "$root/tools/host-arch.sh" >/dev/null && arch=i686
fi
default_build=$root/build
[ "$arch" = x86_64 ] && default_build=$root/build/x86_64
build=${MIBO_BUILD_DIR:-$default_build}
echo "# $arch build in $build"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" >/dev/null
fi
cmake --build "$build" -j2 --target mibo mibo_remote frame_bench mibo_spinwait >/dev/null

export BENCH_SECONDS=$seconds BENCH_BUILD=$build
MIBO_ARCH=$arch MIBO_BUILD_DIR="$build" "$root/tools/with-display.sh" bash -c '
set -uo pipefail
remote="$BENCH_BUILD/tests/mibo_remote.exe"
echo "## Frame update (onTimer), walking figures, 420 frames each, first 20 dropped; wall time and CPU time of the thread"
wine "$BENCH_BUILD/tests/bench/frame_bench.exe" 2>/dev/null | tr -d "\r"

cpu_ticks() { awk "{ print \$14 + \$15 }" "/proc/$1/stat"; }

echo
echo "## CPU of the running program with one figure over ${BENCH_SECONDS} s (percent of one core)"
echo "| frame wait | mibo process | wineserver |"
echo "|---|---:|---:|"
hz=$(getconf CLK_TCK)
# A server of our own in the foreground, so that its process is known (other prefixes have servers too).
wineserver -k >/dev/null 2>&1
wineserver -f -p5 &
server=$!
sleep 1
for exe in mibo.exe tests/bench/mibo_spinwait.exe; do
    wine "$BENCH_BUILD/$exe" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 60); do
        wine "$remote" find >/dev/null 2>&1 && break
        sleep 0.5
    done
    sleep 3
    start=$(cpu_ticks $pid); server_start=$(cpu_ticks $server)
    sleep "$BENCH_SECONDS"
    end=$(cpu_ticks $pid); server_end=$(cpu_ticks $server)
    wine "$remote" close >/dev/null 2>&1
    wait $pid 2>/dev/null
    name=$([ "$exe" = mibo.exe ] && echo "sleeping (mibo.exe)" || echo "spinning (mibo_spinwait.exe)")
    awk -v a="$start" -v b="$end" -v c="$server_start" -v d="$server_end" -v hz="$hz" -v s="$BENCH_SECONDS" -v n="$name" \
        "BEGIN { printf \"| %s | %.1f %% | %.1f %% |\n\", n, (b - a) * 100 / (hz * s), (d - c) * 100 / (hz * s) }"
done
'
