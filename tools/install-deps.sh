#!/usr/bin/env bash
# Installs the Debian packages the build, the tools and the tests need; does nothing when all are present.
set -euo pipefail

packages=(
    cmake g++ make python3
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools
    # the same sources for x86_64: the suite under 64-bit Wine, also where 32-bit programs cannot execute
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine32:i386 wine64
    xvfb xdotool x11-utils x11-xserver-utils imagemagick
    # a nested X server with two monitors side by side, for the end-to-end test of several monitors
    xserver-xephyr
    googletest
    pkg-config librsvg2-dev librsvg2-bin libcairo2-dev libpng-dev
    espeak-ng sox icoutils
    # the setup program (makensis, with x86 and amd64 stubs)
    nsis
    # libFuzzer for the default clang (libclang-rt-14-dev on Debian 12, -18- on Ubuntu 24.04)
    clang libclang-rt-dev
)

missing=()
for package in "${packages[@]}"; do
    [ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" \
    || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
