#!/usr/bin/env bash
# Screenshot of the setup's finish page: packages the release, runs the setup of the chosen build in a Wine virtual
# desktop (where Wine draws the title bars itself) on a private Xvfb, in a Wine prefix of its own, goes through its
# pages with the Enter key and writes build/run/setup-finish.png (the setup's window and a margin around it).
#   tools/setup-shot.sh        (the build of tools/choose-build.sh: MIBO_TEST_ARCH=x86_64 as for ./test.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/choose-build.sh"
"$root/tools/package.sh" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build32/CMakeCache.txt")
setup="$root/build/dist/rida-mibo-1999-$version-setup.exe"
[ $arch = x86_64 ] && setup="$build64/rida-mibo-1999-$version-setup-x64.exe"
mkdir -p "$root/build/run"
out="$root/build/run/setup-finish.png"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MIBO_SHOT_OUT="$out" MIBO_SHOT_SETUP="$setup" MIBO_SHOT_WORK="$work"
MIBO_ARCH=$arch MIBO_BUILD_DIR="$build" "$root/tools/with-display.sh" bash -uc '
    # A prefix and a home folder of its own, and no menu builder: nothing is installed outside them.
    export WINEPREFIX=$MIBO_SHOT_WORK/prefix HOME=$MIBO_SHOT_WORK/home WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
    mkdir -p "$HOME"
    wineboot -i >/dev/null 2>&1; wineserver -w
    wine explorer /desktop=shot,1024x768 "$MIBO_SHOT_SETUP" >/dev/null 2>&1 &
    sleep 6
    for page in welcome folder; do xdotool key Return; sleep 3; done
    sleep 3
    # The desktop is one colour: the shot is trimmed to the window and given a margin of that colour.
    import -window root "$MIBO_SHOT_WORK/shot.png"
    desktop=$(convert "$MIBO_SHOT_WORK/shot.png" -format "%[pixel:p{0,0}]" info:)
    convert "$MIBO_SHOT_WORK/shot.png" -trim +repage -bordercolor "$desktop" -border 20 "$MIBO_SHOT_OUT"
    wineserver -k
'
echo "setup-shot: $out"
