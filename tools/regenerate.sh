#!/usr/bin/env bash
# Regenerates every picture and sound under resources/ from the sources under art/.
#   tools/regenerate.sh            rewrite resources/ in place
#   tools/regenerate.sh --check    regenerate into a scratch folder and compare byte for byte
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools_build="$root/build/tools"

cmake -S "$root/tools" -B "$tools_build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$tools_build" -j "$(nproc)" >/dev/null

# Rendered pictures and spoken voices are byte-exact only with the library versions that made them: those are
# kept beside this script, and the check compares bytes only where the same versions are installed.
stamp="$root/tools/regenerated-with.txt"
libraries() {
    local arch
    arch=$(dpkg --print-architecture)
    dpkg-query -W -f='${Package} ${Version}\n' "librsvg2-2:$arch" "libcairo2:$arch" "libpixman-1-0:$arch" \
        "libespeak-ng1:$arch" "espeak-ng-data:$arch" 2>/dev/null || true
}

out="$root/resources"
if [ "${1:-}" = "--check" ]; then
    if [ "$(libraries)" != "$(cat "$stamp" 2>/dev/null)" ]; then
        echo "assets: these libraries differ from the ones that made resources/ ($stamp):" >&2
        diff <(cat "$stamp" 2>/dev/null) <(libraries) >&2 || true
        echo "assets: byte comparison skipped; the art checks still run" >&2
        exit 0
    fi
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
fi

# Each asset family has its own generator script: frames and icons, and sounds.
for part in assets sounds; do
    script="$root/tools/$part/regenerate.sh"
    [ -x "$script" ] && "$script" "$tools_build" "$out"
done

if [ "${1:-}" != "--check" ]; then
    libraries >"$stamp"
    exit 0
fi

if [ "${1:-}" = "--check" ]; then
    status=0
    for part in frames icons sounds; do
        [ -d "$root/resources/$part" ] || continue
        if ! diff -r "$root/resources/$part" "$out/$part" >/dev/null; then
            echo "regenerated resources/$part differ from the committed files:" >&2
            diff -rq "$root/resources/$part" "$out/$part" >&2 || true
            status=1
        fi
    done
    for list in frames.rc sounds.rc; do
        [ -f "$out/$list" ] || continue
        cmp -s "$root/resources/$list" "$out/$list" || { echo "resources/$list differs" >&2; status=1; }
    done
    [ $status -eq 0 ] && echo "assets: regeneration matches the committed files"
    exit $status
fi
