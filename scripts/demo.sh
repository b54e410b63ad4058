#!/bin/sh
# Installs what is missing, builds the demo host and starts it; arguments go
# to the demo (scripts/demo.sh --simulate, scripts/demo.sh --help). Without a
# display the demo draws off screen: use --screenshot FILE to see it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
out=${VANTEL_BUILD_ROOT:-$root/build}
jobs=${VANTEL_JOBS:-$(nproc)}
cmake -S "$root" -B "$out/qt6" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$out/qt6" --target vantel-demo -j "$jobs"
exec "$out/qt6/host/vantel-demo" "$@"
