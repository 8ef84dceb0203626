#!/usr/bin/env bash
# Renders every frame and both icons from art/ into a resources folder:
#   tools/assets/regenerate.sh TOOLS_BUILD_DIR OUT_RESOURCES_DIR
# (tools/regenerate.sh builds the tools and calls this.)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tools_build=$1
out=$2
mkdir -p "$out/frames" "$out/icons"
# Frames whose art was removed must not linger.
rm -f "$out"/frames/*.bmp "$out"/frames/*.rgn
"$tools_build/assets/mibo-assets" build "$root/art" "$out"
