#!/usr/bin/env bash
# Benchmarks (not tests): the frame update's cost with 1, 10, 100 and 255 figures; the real program's CPU use with
# one figure over SECONDS (mibo.exe and, with BENCH_SPIN=1, the spinning wait, mibo_spinwait.exe); and the
# resident memory of mibo.exe with 1, 10 and 255 figures asked for.
#   tools/bench.sh [SECONDS]
# What the running program costs the whole system (server round trips, CPU all told beside xpenguins):
# tools/bench-light.sh.
# Runs on a private Xvfb with the build's Wine prefix, like the tests: the 32-bit build where this host executes
# 32-bit programs, the x86_64 build (build/x86_64, 64-bit Wine) where it cannot or when MIBO_TEST_ARCH=x86_64.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
. "$root/tools/choose-build.sh"
echo "# $arch build in $build"
mibo_configure $arch "$build"
cmake --build "$build" -j2 --target mibo mibo_remote frame_bench mibo_spinwait >/dev/null

export BENCH_SECONDS=$seconds BENCH_BUILD=$build BENCH_SPIN=${BENCH_SPIN:-0}
MIBO_ARCH=$arch MIBO_BUILD_DIR="$build" "$root/tools/with-display.sh" bash -c '
set -uo pipefail
remote="$BENCH_BUILD/tests/mibo_remote.exe"
echo "## Frame update (onTimer), walking figures, 420 frames each, first 20 dropped; wall time and CPU time of the thread"
wine "$BENCH_BUILD/windows-tools/frame_bench.exe" 2>/dev/null | tr -d "\r"

cpu_ticks() { awk "{ print \$14 + \$15 }" "/proc/$1/stat"; }

echo
echo "## CPU of the running program with one figure over ${BENCH_SECONDS} s (percent of one core)"
echo "| program | mibo process | wineserver |"
echo "|---|---:|---:|"
hz=$(getconf CLK_TCK)
# A server of our own in the foreground, so that its process is known (other prefixes have servers too).
wineserver -k >/dev/null 2>&1
wineserver -f -p5 &
server=$!
sleep 1
programs="mibo.exe"
[ "$BENCH_SPIN" = 1 ] && programs="$programs windows-tools/mibo_spinwait.exe"
for exe in $programs; do
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
    case $exe in
        mibo.exe) name="present (mibo.exe)" ;;
        *) name="spinning wait (mibo_spinwait.exe)" ;;
    esac
    awk -v a="$start" -v b="$end" -v c="$server_start" -v d="$server_end" -v hz="$hz" -v s="$BENCH_SECONDS" -v n="$name" \
        "BEGIN { printf \"| %s | %.1f %% | %.1f %% |\n\", n, (b - a) * 100 / (hz * s), (d - c) * 100 / (hz * s) }"
done

echo
echo "## Resident memory of mibo.exe (VmRSS of the Wine process), figures asked for"
echo "| figures | VmRSS |"
echo "|---:|---:|"
rss() { awk "/^VmRSS/ { print \$2 }" "/proc/$1/status"; }
wine "$BENCH_BUILD/mibo.exe" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 60); do
    wine "$remote" find >/dev/null 2>&1 && break
    sleep 0.5
done
asked=1
for want in 1 10 255; do
    [ $want -gt $asked ] && wine "$remote" more $((want - asked)) >/dev/null 2>&1
    asked=$want
    # One request is taken a frame; then some seconds for the scenes to load their frames.
    sleep $((want / 10 + 8))
    echo "| $want | $(rss $pid) kB |"
done
wine "$remote" close >/dev/null 2>&1
wait $pid 2>/dev/null
wineserver -k >/dev/null 2>&1
'
