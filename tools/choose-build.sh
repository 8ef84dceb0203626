# The one choice of architecture and build folder, sourced by every script that builds or runs the program:
#   . "$root/tools/choose-build.sh"          (root: the checkout)
# It sets
#   build32, build64   the two build folders: build/ (i686, the shipped 32-bit mibo.exe) and build/x86_64
#   run32, arch_why    1 where this host executes 32-bit programs (tools/host-arch.sh), else 0; one line saying why
#   arch, build        the build this host runs: i686 in build/ where run32 is 1, else x86_64 in build/x86_64
# and defines mibo_configure ARCH DIR [CMAKE_ARGS...], which configures DIR with the MinGW-w64 toolchain of ARCH.
# MIBO_TEST_ARCH=x86_64 (its only value) chooses x86_64 on any host, as if 32-bit programs did not run there.
# The scripts hand their choice on to tools/with-display.sh as MIBO_ARCH and MIBO_BUILD_DIR, and it to the tests.
build32=$root/build
build64=$root/build/x86_64
run32=0
case "${MIBO_TEST_ARCH:-}" in
    "")
        arch_why=$("$root/tools/host-arch.sh") && run32=1
        ;;
    x86_64)
        arch_why="MIBO_TEST_ARCH=x86_64 chooses the x86_64 build"
        ;;
    *)
        echo "$(basename "$0"): MIBO_TEST_ARCH is '$MIBO_TEST_ARCH'; the only value it takes is x86_64" >&2
        exit 2
        ;;
esac
if [ $run32 -eq 1 ]; then
    arch=i686 build=$build32
else
    arch=x86_64 build=$build64
fi

mibo_configure() { # ARCH DIR [CMAKE_ARGS...]
    local toolchain="$root/cmake/mingw-$1.cmake" dir=$2
    shift 2
    cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" "$@" >/dev/null
}
