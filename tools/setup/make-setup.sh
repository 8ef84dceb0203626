#!/usr/bin/env bash
# Builds the setup of one mibo.exe from tools/setup/mibo.nsi with Debian's makensis.
#   tools/setup/make-setup.sh ARCH VERSION PROGRAM OUTFILE
# ARCH x86: the shipped setup of the 32-bit program; amd64: the same script around the x86_64 build, which the
# end-to-end test runs on hosts that cannot execute 32-bit code (NSIS's x86 stub is 32-bit code itself).
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: $0 x86|amd64 VERSION PROGRAM OUTFILE" >&2; exit 2; }
arch=$1 version=$2
program=$(realpath "$3")
mkdir -p "$(dirname "$4")"
outfile=$(realpath "$4")
makensis -V2 -INPUTCHARSET UTF8 -DARCH="$arch" -DVERSION="$version" -DPROGRAM="$program" -DOUTFILE="$outfile" \
    "$(realpath "$(dirname "$0")")/mibo.nsi" >&2
