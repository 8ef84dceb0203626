#!/usr/bin/env bash
# A benchmark (not a test): the CPU of the program and of the wineserver while Mibo steps aside. Three figures walk
# for SECONDS seconds, then a full-screen window of another program (mibo_remote fullscreen) stays in front and the
# same is measured again once the shape is gone: the program's Wine process and a wineserver started for the
# purpose, each all threads, from /proc/PID/task/*/schedstat (the scheduler's run time in ns). /proc/PID/stat's
# utime + stime is printed beside it: counted in 10-ms ticks by sampling, it is coarse for a process that wakes for
# a moment now and then. The goal while aside is at most 0.5 % of one core for both together. Last, with the
# program closed and the window still in front, the wineserver alone: what Wine spends there without Mibo.
#   tools/bench-aside.sh [SECONDS]        (default 20)
# Runs on a private Xvfb with the build's Wine prefix, like the tests (see tools/choose-build.sh for the build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
. "$root/tools/choose-build.sh"
echo "# $arch build in $build, 3 figures, $seconds s each"
cmake --build "$build" -j2 --target mibo mibo_remote >/dev/null

export ASIDE_SECONDS=$seconds ASIDE_BUILD=$build
MIBO_ARCH=$arch MIBO_BUILD_DIR="$build" "$root/tools/with-display.sh" bash -c '
set -uo pipefail
remote="$ASIDE_BUILD/tests/mibo_remote.exe"
hz=$(getconf CLK_TCK)
cpu_ticks() { awk "{ print \$14 + \$15 }" "/proc/$1/stat" 2>/dev/null || echo 0; }
cpu_ns() { cat /proc/$1/task/*/schedstat 2>/dev/null | awk "{ ns += \$1 } END { printf \"%d\", ns }"; }
# A server of our own in the foreground, so that its process is known.
wineserver -k >/dev/null 2>&1
wineserver -f -p5 &
server=$!
sleep 1
wine reg add "HKCU\\Software\\Nortavo\\Rida Mibo 1999" /v funlevel /t REG_DWORD /d 5 /f >/dev/null 2>&1
wine "$ASIDE_BUILD/mibo.exe" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 120); do
    wine "$remote" find >/dev/null 2>&1 && break
    sleep 0.5
done
wine "$remote" more 2 >/dev/null 2>&1
sleep 5
# Prints the CPU of the next ASIDE_SECONDS seconds: "mibo X % wineserver Y % together Z % of a core", then the
# same from the ticks of /proc/PID/stat.
measure() {
    local a s an sn
    a=$(cpu_ticks $pid); s=$(cpu_ticks $server); an=$(cpu_ns $pid); sn=$(cpu_ns $server)
    sleep "$ASIDE_SECONDS"
    awk -v a="$an" -v b="$(cpu_ns $pid)" -v s="$sn" -v t="$(cpu_ns $server)" -v n="$ASIDE_SECONDS" \
        -v ta="$a" -v tb="$(cpu_ticks $pid)" -v ts="$s" -v tt="$(cpu_ticks $server)" -v hz="$hz" \
        "BEGIN { m = (b - a) / (n * 1e7); w = (t - s) / (n * 1e7);
                 tm = (tb - ta) * 100 / (hz * n); tw = (tt - ts) * 100 / (hz * n);
                 printf \"mibo %.2f %% wineserver %.2f %% together %.2f %% of a core (ticks: %.2f + %.2f %%)\\n\",
                        m, w, m + w, tm, tw }"
}
echo "figures walking:         $(measure)"
wine "$remote" fullscreen $((2 * ASIDE_SECONDS + 30)) >/dev/null 2>&1 &
popup=$!
aside=""
for _ in $(seq 40); do
    if wine "$remote" region 2>/dev/null | tr -d "\r" | grep -q .; then
        sleep 0.5
    else
        aside=1
        break
    fi
done
if [ -z "$aside" ]; then
    echo "the figures did not step aside"
else
    sleep 5 # the popup settles, and the looks from outside have ended
    echo "full screen in front:    $(measure)"
fi
wine "$remote" close >/dev/null 2>&1
for _ in $(seq 60); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.5
done
wait $pid 2>/dev/null
# What Wine spends without the program: the same window in front, the program closed.
if [ -n "$aside" ] && kill -0 $popup 2>/dev/null; then
    sleep 3
    echo "full screen, Mibo closed: $(measure | sed -E "s/^mibo .*(wineserver [0-9.]+ %).*\+ ([0-9.]+ %)\)/\1 (ticks: \2)/")"
fi
wait $popup
wineserver -k >/dev/null 2>&1
wait $server 2>/dev/null
'
