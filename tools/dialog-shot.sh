#!/usr/bin/env bash
# Screenshot of the settings dialog: builds what it needs, runs Mibo in a Wine virtual desktop (where Wine draws
# the title bars itself) on a private Xvfb, opens the dialog through the tray callback and writes
# build/run/dialog.png (the dialog and a margin around it).
#   tools/dialog-shot.sh        (the build of tools/choose-build.sh: MIBO_TEST_ARCH=x86_64 as for ./test.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/choose-build.sh"
mibo_configure $arch "$build"
cmake --build "$build" -j2 --target mibo mibo_remote >/dev/null
mkdir -p "$root/build/run"
out="$root/build/run/dialog.png"
export MIBO_SHOT_OUT="$out" MIBO_SHOT_EXE="$build/mibo.exe" MIBO_SHOT_REMOTE="$build/tests/mibo_remote.exe"
MIBO_ARCH=$arch MIBO_BUILD_DIR="$build" "$root/tools/with-display.sh" bash -uc '
    wine explorer /desktop=shot,1024x768 "$MIBO_SHOT_EXE" >/dev/null 2>&1 &
    on_desktop() { wine explorer /desktop=shot,1024x768 "$MIBO_SHOT_REMOTE" -o "$tmp/out" "$@" >/dev/null 2>&1;
                   for _ in $(seq 100); do [ -f "$tmp/out" ] && break; sleep 0.2; done; tr -d "\r" <"$tmp/out"; rm -f "$tmp/out"; }
    tmp=$(mktemp -d)
    for _ in $(seq 60); do on_desktop find | grep -q "^exit 0" && break; sleep 1; done
    on_desktop tray 0x201 >/dev/null
    sleep 3
    box=$(on_desktop dialog | awk "/^dialog /{print \$3, \$4, \$5, \$6}")
    [ -n "$box" ] || { echo "dialog-shot: no dialog" >&2; exit 1; }
    read -r l t r b <<<"$box"
    import -window root -crop "$((r - l + 40))x$((b - t + 40))+$((l - 20))+$((t - 20))" +repage "$MIBO_SHOT_OUT"
    on_desktop dialogclose >/dev/null; sleep 1; on_desktop close >/dev/null; sleep 2
    rm -rf "$tmp"
'
echo "dialog-shot: $out"
