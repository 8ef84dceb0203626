#!/usr/bin/env bash
# A benchmark (not a test): the real program left running with FIGURES figures for MINUTES minutes, sampled once
# a minute: resident and virtual memory of its Wine process, its kernel handles, its windows, the Wine process's
# open files, the wineserver's memory and the CPU of the last minute.
#   tools/soak.sh [MINUTES] [FIGURES]        (defaults 30 and 20)
# Runs on a private Xvfb with the build's Wine prefix, like the tests: the 32-bit build where this host executes
# 32-bit programs, the x86_64 build (build/x86_64, 64-bit Wine) where it cannot or when MIBO_TEST_ARCH=x86_64.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-30}
figures=${2:-20}
. "$root/tools/choose-build.sh"
echo "# $arch build in $build, $figures figures, $minutes minutes"
mibo_configure $arch "$build"
cmake --build "$build" -j2 --target mibo mibo_remote >/dev/null

export SOAK_MINUTES=$minutes SOAK_FIGURES=$figures SOAK_BUILD=$build
MIBO_ARCH=$arch MIBO_BUILD_DIR="$build" "$root/tools/with-display.sh" bash -c '
set -uo pipefail
remote="$SOAK_BUILD/tests/mibo_remote.exe"
hz=$(getconf CLK_TCK)
status_kb() { awk -v key="$2:" "\$1 == key { print \$2 }" "/proc/$1/status"; }
cpu_ticks() { awk "{ print \$14 + \$15 }" "/proc/$1/stat"; }
# A server of our own in the foreground, so that its process is known.
wineserver -k >/dev/null 2>&1
wineserver -f -p5 &
server=$!
sleep 1
wine "$SOAK_BUILD/mibo.exe" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 120); do
    wine "$remote" find >/dev/null 2>&1 && break
    sleep 0.5
done
[ "$SOAK_FIGURES" -gt 1 ] && wine "$remote" more $((SOAK_FIGURES - 1)) >/dev/null 2>&1
sleep 10
echo "| minute | VmRSS | VmSize | kernel handles | windows | open files | wineserver VmRSS | CPU mibo | CPU wineserver |"
echo "|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
ticks=$(cpu_ticks $pid); server_ticks=$(cpu_ticks $server)
for minute in $(seq 0 "$SOAK_MINUTES"); do
    if [ "$minute" -gt 0 ]; then
        sleep 60
    fi
    if ! kill -0 $pid 2>/dev/null; then
        echo "the program ended after minute $minute"
        exit 1
    fi
    counts=$(wine "$remote" counts 2>/dev/null | tr -d "\r")
    now=$(cpu_ticks $pid); server_now=$(cpu_ticks $server)
    cpu=$(awk -v a="$ticks" -v b="$now" -v hz="$hz" "BEGIN { printf \"%.1f %%\", (b - a) * 100 / (hz * 60) }")
    server_cpu=$(awk -v a="$server_ticks" -v b="$server_now" -v hz="$hz" "BEGIN { printf \"%.1f %%\", (b - a) * 100 / (hz * 60) }")
    [ "$minute" -eq 0 ] && cpu="" && server_cpu=""
    ticks=$now; server_ticks=$server_now
    echo "| $minute | $(status_kb $pid VmRSS) kB | $(status_kb $pid VmSize) kB | $(awk "{ print \$2 }" <<<"$counts") |" \
         "$(awk "{ print \$4 }" <<<"$counts") | $(ls /proc/$pid/fd | wc -l) | $(status_kb $server VmRSS) kB | $cpu | $server_cpu |"
done
wine "$remote" close >/dev/null 2>&1
for _ in $(seq 120); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.5
done
kill -0 $pid 2>/dev/null && echo "the program did not end within 60 s of WM_CLOSE"
wait $pid 2>/dev/null
echo "exit code after WM_CLOSE: $?"
wineserver -k >/dev/null 2>&1
'
