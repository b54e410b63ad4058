#!/bin/sh
# Installs what is missing, then builds and runs every test: the Qt 6 and the
# Qt 5.15 builds with warnings as errors, the Debian packages made from the
# Qt 6 build (installed, used and purged again) and the API reference, an
# ASan/UBSan build, the fuzzers, a ThreadSanitizer build of the suites that
# run threads, and the Windows backend cross-built and run under Wine.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
out=${VANTEL_BUILD_ROOT:-$root/build}
jobs=${VANTEL_JOBS:-$(nproc)}
# ccache (scripts/setup.sh installs it) finds the objects of an earlier run
# even from another checkout of the tree.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-true}"
launcher=""
command -v ccache >/dev/null && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache

# suite <name> <ctest label, or "" for all but the fuzzers> [--target <target>]
#       [--wrap "<command the tests run under>"] [cmake options...]
suite() {
    name=$1
    label=$2
    shift 2
    target=""
    wrap=""
    while [ $# -gt 0 ]; do
        case $1 in
        --target) target=$2 ;;
        --wrap) wrap=$2 ;;
        *) break ;;
        esac
        shift 2
    done
    echo "=== $name"
    cmake -S "$root" -B "$out/$name" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTEL_WERROR=ON $launcher "$@"
    cmake --build "$out/$name" -j "$jobs" ${target:+--target "$target"}
    if [ -n "$label" ]; then
        $wrap ctest --test-dir "$out/$name" --output-on-failure -j 2 -L "$label"
    else
        $wrap ctest --test-dir "$out/$name" --output-on-failure -j 2 -LE fuzz
    fi
}

# The Qt 6 build is also the one packaged, so it is made for the prefix /usr.
suite qt6 "" -DCMAKE_INSTALL_PREFIX=/usr
echo "=== packages"
"$root/scripts/package.sh" "$out/qt6"
"$root/scripts/test-packages.sh" "$out/package"
echo "=== api reference"
"$root/scripts/docs.sh"
suite qt5 "" -DVANTEL_QT_MAJOR=5 -DVANTEL_PEER_BUILD_DIR="$out/qt6"
suite asan "" -DVANTEL_SANITIZE=address,undefined -DVANTEL_BUILD_BENCH=OFF -DVANTEL_BUILD_HOST=OFF
suite fuzz fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVANTEL_SANITIZE=address,undefined \
    -DVANTEL_BUILD_FUZZ=ON -DVANTEL_BUILD_TESTS=OFF -DVANTEL_BUILD_BENCH=OFF -DVANTEL_BUILD_HOST=OFF

# ThreadSanitizer on the suites that run threads, side by side with the
# Windows stage, which mostly waits on Wine. Only the libraries and those
# suites are built, at -O1. Its shadow memory needs fixed addresses that a
# kernel's high-entropy address randomisation may take, so the tests run
# without it where the kernel lets them.
norandom=""
setarch -R true 2>/dev/null && norandom="setarch -R"
logs=$(mktemp -d)
suite tsan threads --target threaded_suites --wrap "$norandom" -DVANTEL_SANITIZE=thread \
    -DVANTEL_BUILD_BENCH=OFF -DVANTEL_BUILD_HOST=OFF "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g -DNDEBUG" \
    >"$logs/tsan" 2>&1 &
tsan=$!
failed=""
"$root/scripts/test-windows.sh" >"$logs/win32" 2>&1 || failed="$failed win32"
wait $tsan || failed="$failed tsan"
cat "$logs/tsan"
echo "=== win32"
cat "$logs/win32"
rm -rf "$logs"
if [ -n "$failed" ]; then
    echo "=== failed:$failed" >&2
    exit 1
fi
echo "=== all suites passed"
