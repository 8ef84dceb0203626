#!/usr/bin/env bash
# Builds the release and writes build/dist/rida-mibo-1999-VERSION.zip: mibo.exe (32-bit, the product),
# mibo-x64.exe (the same program for 64-bit Windows), READ-ME.txt and LICENSE.txt, with Windows line endings;
# beside it build/dist/rida-mibo-1999-VERSION-setup.exe, the setup of the 32-bit program (tools/setup/mibo.nsi).
# The same setup around the x86_64 program, X86_64_BUILD_DIR/rida-mibo-1999-VERSION-setup-x64.exe, is not shipped:
# the end-to-end test runs it where 32-bit code cannot execute.
#   tools/package.sh [I686_BUILD_DIR [X86_64_BUILD_DIR]]     (default build/ and build/x86_64/, tools/choose-build.sh)
# The zip is the same bytes for the same inputs: fixed timestamps, fixed order.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/choose-build.sh"
build32=${1:-$build32}
build64=${2:-$build64}

for arch in i686 x86_64; do
    dir=$build32
    [ $arch = x86_64 ] && dir=$build64
    mibo_configure $arch "$dir" -DCMAKE_BUILD_TYPE=Release
    cmake --build "$dir" -j "$(nproc)" --target mibo >/dev/null
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build32/CMakeCache.txt")
mkdir -p "$root/build/dist"
zip="$root/build/dist/rida-mibo-1999-$version.zip"
python3 - "$zip" "$build32/mibo.exe" "$build64/mibo.exe" "$root/tools/dist/READ-ME.txt" "$root/LICENSE" <<'PY'
import sys, zipfile

out, exe32, exe64, readme, licence = sys.argv[1:]
def text(path):
    return open(path, encoding="utf-8").read().replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")
entries = [("mibo.exe", open(exe32, "rb").read()), ("mibo-x64.exe", open(exe64, "rb").read()),
           ("READ-ME.txt", text(readme)), ("LICENSE.txt", text(licence))]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for name, data in entries:
        info = zipfile.ZipInfo(name, date_time=(2026, 12, 1, 0, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        archive.writestr(info, data)
PY
setup="$root/build/dist/rida-mibo-1999-$version-setup.exe"
"$root/tools/setup/make-setup.sh" x86 "$version" "$build32/mibo.exe" "$setup"
"$root/tools/setup/make-setup.sh" amd64 "$version" "$build64/mibo.exe" "$build64/rida-mibo-1999-$version-setup-x64.exe"
echo "package: $zip ($(stat -c %s "$zip") bytes; mibo.exe $(stat -c %s "$build32/mibo.exe") bytes, mibo-x64.exe $(stat -c %s "$build64/mibo.exe") bytes)"
echo "setup: $setup ($(stat -c %s "$setup") bytes)"
