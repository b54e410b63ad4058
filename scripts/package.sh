#!/bin/sh
# Builds the Debian packages libvantel1, libvantel-dev and vantel-demo with
# CPack from the Qt 6 build of scripts/test.sh ($VANTEL_BUILD_ROOT/qt6, or the
# build folder given as the first argument), which is configured for the
# prefix /usr; a missing build is configured and built first. The packages
# land in $VANTEL_BUILD_ROOT/package (default build/package).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${VANTEL_BUILD_ROOT:-$root/build}
build=${1:-$out/qt6}
debs=$out/package
jobs=${VANTEL_JOBS:-$(nproc)}
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-true}"

if [ ! -f "$build/CMakeCache.txt" ]; then
    launcher=""
    command -v ccache >/dev/null && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTEL_WERROR=ON $launcher \
        -DCMAKE_INSTALL_PREFIX=/usr
elif ! grep -qx 'CMAKE_INSTALL_PREFIX:PATH=/usr' "$build/CMakeCache.txt"; then
    # Another prefix only relinks: the objects do not depend on it.
    cmake -S "$root" -B "$build" -DCMAKE_INSTALL_PREFIX=/usr
fi
# CPack installs from the build as it stands, and builds what is out of date first.
cmake --build "$build" -j "$jobs"
rm -rf "$debs"
mkdir -p "$debs"
(cd "$build" && cpack -G DEB -B "$debs")
rm -rf "$debs/_CPack_Packages"
ls "$debs"/*.deb
