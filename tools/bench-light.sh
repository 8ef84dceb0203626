#!/usr/bin/env bash
# A benchmark (not a test): what the running program costs the whole system, beside an xpenguins flock.
#   tools/bench-light.sh [SECONDS]          (default 20)
# Cases, each measured over SECONDS after the start has settled:
#   one      mibo.exe, one figure
#   ten      mibo.exe, ten figures (mibo_remote more 9)
#   dialog   mibo.exe with the settings dialog open (the tray callback opens it): nothing moves
#   away     the real main loop with ten figures, every one in a pause out of sight (frame_bench away 10)
# Each case runs twice on its own fresh wineserver: once with the server's request log on (tools/server-requests.py
# counts the requests of the program's main thread, and the main-loop passes by their PeekMessage; frame_bench
# reports its own passes and their time, since a pass that asks nothing but its PeekMessage cannot be told apart
# in the log), once without
# it for the CPU, read from /proc/PID/stat: the program, the wineserver, Wine's helper processes (every other
# process of the prefix: explorer, services, ...) and the X server. Right after the one-figure case an xpenguins
# flock (the Debian package, installed with apt-get when missing) runs alone on the same display for SECONDS:
# its process and the X server. Prints one markdown table.
# Runs on a private Xvfb with the build's Wine prefix, like the tests; MIBO_ARCH and MIBO_BUILD_DIR choose the
# build as for tools/bench.sh. LIGHT_CASES="one ten dialog away" chooses the cases; LIGHT_EXE_DIR names a folder
# with another mibo.exe and frame_bench.exe to measure instead of the build's (a copy of an earlier build, say);
# LIGHT_MANAGED=1 measures in a prefix whose windows Wine manages, as in a default prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" != --inside ]; then
    seconds=${1:-20}
    . "$root/tools/choose-build.sh"
    if ! command -v xpenguins >/dev/null; then
        echo "# installing xpenguins"
        apt-get install -y xpenguins >/dev/null || { echo "bench-light: cannot install xpenguins" >&2; exit 1; }
    fi
    echo "# $arch build in $build, $seconds s a case${LIGHT_EXE_DIR:+, programs from $LIGHT_EXE_DIR}"
    cmake --build "$build" -j2 --target mibo mibo_remote frame_bench >/dev/null
    export LIGHT_BUILD=$build
    MIBO_ARCH=$arch MIBO_BUILD_DIR="$build" exec "$root/tools/with-display.sh" "$0" --inside "$seconds"
fi

# On the display, inside the prefix: a failed step leaves its figure empty rather than ending the run.
set +e
seconds=$2
build=$LIGHT_BUILD
remote="$build/tests/mibo_remote.exe"
mibo=${LIGHT_EXE_DIR:-$build}/mibo.exe
bench=${LIGHT_EXE_DIR:-$build/windows-tools}/frame_bench.exe
hz=$(getconf CLK_TCK)
work=$(mktemp -d)
xvfb=$(pgrep -P "$PPID" -x Xvfb | head -n1)
server=""
program=""
penguins=""
cleanup() {
    [ -n "$penguins" ] && kill "$penguins" 2>/dev/null
    [ -n "$program" ] && kill "$program" 2>/dev/null
    wineserver -k >/dev/null 2>&1
    [ -n "$server" ] && wait "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

ticks() { # the CPU ticks (user + system) of the given processes, those still alive
    local sum=0 pid
    for pid in "$@"; do
        [ -r "/proc/$pid/stat" ] && sum=$((sum + $(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null || echo 0)))
    done
    echo $sum
}
helpers() { # every process of this prefix but the program and the server
    local pid
    for pid in $(pgrep -f . 2>/dev/null); do
        [ "$pid" = "$program" ] || [ "$pid" = "$server" ] && continue
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
        case "$(cat /proc/$pid/comm 2>/dev/null)" in *.exe|wine*|*-preloader) echo "$pid" ;; esac
    done
}
percent() { awk -v t="$1" -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", t * 100 / (hz * s) }'; }

start_server() { # $1: "log" for the request log
    wineserver -k >/dev/null 2>&1
    if [ "$1" = log ]; then
        wineserver -f -d1 -p5 2>"$work/server.log" &
    else
        wineserver -f -p5 &
    fi
    server=$!
    sleep 1
}

start_case() {
    if [ "$1" = away ]; then
        wine "$bench" away 10 >"$work/passes" 2>/dev/null &
    else
        wine "$mibo" >/dev/null 2>&1 &
    fi
    program=$!
    for _ in $(seq 120); do
        wine "$remote" find >/dev/null 2>&1 && break
        sleep 0.5
    done
    case $1 in
        ten) wine "$remote" more 9 >/dev/null 2>&1 ;;
        dialog)
            wine "$remote" tray 513 >/dev/null 2>&1
            for _ in $(seq 40); do
                wine "$remote" dialog 2>/dev/null | grep -q "^dialogs 1" && break
                sleep 0.5
            done ;;
    esac
    sleep 6
}

stop_case() {
    wine "$remote" close >/dev/null 2>&1
    for _ in $(seq 60); do
        kill -0 "$program" 2>/dev/null || break
        sleep 0.5
    done
    kill "$program" 2>/dev/null
    wait "$program" 2>/dev/null
    program=""
    wineserver -k >/dev/null 2>&1
    wait "$server" 2>/dev/null
    server=""
}

declare -A result
count_case() {
    start_server log
    start_case "$1"
    local from to pid=$program known=()
    from=$(stat -c %s "$work/server.log")
    sleep "$seconds"
    to=$(stat -c %s "$work/server.log")
    stop_case
    # frame_bench counts its own passes and their time: the stretch had its rate of them.
    # (An older frame_bench prints nothing: its passes are then counted in the log.)
    local passes
    passes=$(awk -v s="$seconds" '/^passes/ && $4 > 0 { printf "%d", $2 * s * 1000 / $4 }' "$work/passes" 2>/dev/null)
    [ "$1" = away ] && [ -n "$passes" ] && known=(--passes "$passes")
    result[$1.requests]=$(python3 "$root/tools/server-requests.py" "$work/server.log" --from "$from" --to "$to" \
        --pid "$pid" --marker "get_message( flags=00000000" --seconds "$seconds" --tsv "${known[@]}")
    if [ -n "${LIGHT_KEEP_LOG:-}" ]; then
        cp "$work/server.log" "$LIGHT_KEEP_LOG.$1.log"
        echo "$from $to $pid" >"$LIGHT_KEEP_LOG.$1.range"
    fi
}

cpu_case() {
    start_server plain
    start_case "$1"
    local helper_pids p0 s0 h0 x0
    helper_pids=$(helpers)
    p0=$(ticks "$program"); s0=$(ticks "$server"); h0=$(ticks $helper_pids); x0=$(ticks "$xvfb")
    sleep "$seconds"
    result[$1.cpu]="$(percent $(($(ticks "$program") - p0))) $(percent $(($(ticks "$server") - s0)))"
    result[$1.cpu]+=" $(percent $(($(ticks $helper_pids) - h0))) $(percent $(($(ticks "$xvfb") - x0)))"
    stop_case
}

penguin_case() {
    xpenguins -display "$DISPLAY" -q >/dev/null 2>&1 &
    penguins=$!
    sleep 3
    local p0 x0
    p0=$(ticks "$penguins"); x0=$(ticks "$xvfb")
    sleep "$seconds"
    result[penguins]="$(percent $(($(ticks "$penguins") - p0))) $(percent $(($(ticks "$xvfb") - x0)))"
    kill "$penguins" 2>/dev/null
    wait "$penguins" 2>/dev/null
    penguins=""
}

# LIGHT_MANAGED=1 measures as users have it: the prefix's X11 driver manages the windows (the test prefix's
# Managed=N, which tools/with-display.sh sets again at its next start, is taken away for this run).
if [ "${LIGHT_MANAGED:-0}" = 1 ]; then
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
    wineserver -w
fi
cases=${LIGHT_CASES:-one ten dialog away}
for name in $cases; do
    count_case "$name"
    cpu_case "$name"
    [ "$name" = one ] && penguin_case
done
[ -z "${result[penguins]:-}" ] && penguin_case

read -r pen_cpu pen_x <<<"${result[penguins]}"
pen_total=$(awk -v a="$pen_cpu" -v b="$pen_x" 'BEGIN { printf "%.2f", a + b }')
echo
echo "| case | main-thread requests | passes | a pass | a second | per 50 ms | program % | wineserver % | helpers % | X server % | all told % | program + wineserver % | all told / xpenguins |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
for name in $cases; do
    read -r requests passes per_pass per_second per_50ms _ <<<"${result[$name.requests]}"
    read -r cpu_program cpu_server cpu_helpers cpu_x <<<"${result[$name.cpu]}"
    awk -v n="$name" -v r="$requests" -v p="$passes" -v pp="$per_pass" -v ps="$per_second" -v pf="$per_50ms" \
        -v a="$cpu_program" -v b="$cpu_server" -v c="$cpu_helpers" -v d="$cpu_x" -v pen="$pen_total" 'BEGIN {
        all = a + b + c + d
        printf "| %s | %d | %d | %s | %s | %s | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.1f |\n",
               n, r, p, pp, ps, pf, a, b, c, d, all, a + b, (pen > 0 ? all / pen : 0) }'
done
echo "| xpenguins flock | | | | | | $pen_cpu | | | $pen_x | $pen_total | | 1.0 |"
