# Sourced by the scripts that start Wine: the Wine environment of one build of the program.
#   . tools/wine-env.sh ARCH BUILD_DIR      ARCH is i686 (32-bit Wine) or x86_64 (64-bit Wine)
# Every prefix lives in its build folder. For x86_64 a folder of small wrappers goes first on PATH: Debian's
# wine, wine-stable and wineboot scripts pick the 32-bit loader whenever it is installed, also on a host that
# cannot execute it, so "wine X" (in the scripts and the end-to-end tests alike) must mean the 64-bit loader there.
mibo_wine_arch=$1
mibo_wine_build=$2
export WINEPREFIX="$mibo_wine_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=d"
case "$mibo_wine_arch" in
    i686)
        export WINEARCH=win32
        ;;
    x86_64)
        export WINEARCH=win64
        mibo_wine64=""
        for candidate in /usr/lib/wine/wine64 /usr/lib64/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64; do
            [ -x "$candidate" ] && { mibo_wine64=$candidate; break; }
        done
        if [ -z "$mibo_wine64" ]; then
            echo "wine-env: no 64-bit Wine loader (wine64) found" >&2
            return 1
        fi
        export WINELOADER=$mibo_wine64
        mibo_wine_shims="$mibo_wine_build/wine64-bin"
        mkdir -p "$mibo_wine_shims"
        for name in wine wine-stable wine64; do
            printf '#!/bin/sh\nexec %s "$@"\n' "$mibo_wine64" >"$mibo_wine_shims/$name"
        done
        for name in wineboot winepath winecfg; do
            printf '#!/bin/sh\nexec %s %s.exe "$@"\n' "$mibo_wine64" "$name" >"$mibo_wine_shims/$name"
        done
        chmod +x "$mibo_wine_shims"/*
        case ":$PATH:" in
            *":$mibo_wine_shims:"*) ;;
            *) export PATH="$mibo_wine_shims:$PATH" ;;
        esac
        ;;
    *)
        echo "wine-env: unknown architecture '$mibo_wine_arch' (i686 or x86_64)" >&2
        return 1
        ;;
esac
