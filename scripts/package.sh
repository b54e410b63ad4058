#!/bin/sh
# Builds the Debian packages libvantel1, libvantel-dev and vantel-demo with
# CPack, from a build for the prefix /usr (no tests), and leaves them in
# $VANTEL_BUILD_ROOT/package (default build/package). Through ccache it
# reuses the objects of the Qt 6 build of scripts/test.sh.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${VANTEL_BUILD_ROOT:-$root/build}/package
jobs=${VANTEL_JOBS:-$(nproc)}
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-true}"
launcher=""
command -v ccache >/dev/null && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTEL_WERROR=ON $launcher \
    -DCMAKE_INSTALL_PREFIX=/usr -DVANTEL_BUILD_TESTS=OFF -DVANTEL_BUILD_BENCH=OFF "$@"
cmake --build "$out" -j "$jobs"
rm -f "$out"/*.deb
(cd "$out" && cpack -G DEB)
ls "$out"/*.deb
