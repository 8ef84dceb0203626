# Sourced by the benchmark scripts: sets `arch` and `build` to the 32-bit build where this host executes 32-bit
# programs, else the x86_64 build (build/x86_64, 64-bit Wine); MIBO_ARCH and MIBO_BUILD_DIR choose otherwise.
# Configures the build folder when it has never been configured. Needs `root`, the checkout.
arch=${MIBO_ARCH:-}
if [ -z "$arch" ]; then
    arch=x86_64
    "$root/tools/host-arch.sh" >/dev/null && arch=i686
fi
default_build=$root/build
[ "$arch" = x86_64 ] && default_build=$root/build/x86_64
build=${MIBO_BUILD_DIR:-$default_build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" >/dev/null
fi
