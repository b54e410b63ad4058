#!/bin/sh
# Checks the Debian packages of scripts/package.sh on this machine (as root or
# with sudo): lintian finds no error, `apt-get install ./*.deb` installs them,
# every file dpkg lists is there, `vantel-demo --check` answers, a consumer
# built out of the tree with CMake and with pkg-config runs against /usr, and
# after the purge none of the packages' files or folders is left. The
# packages are purged again when a step fails.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
debs=${1:-${VANTEL_BUILD_ROOT:-$root/build}/package}
debs=$(cd "$debs" && pwd)
packages="libvantel1 libvantel-dev vantel-demo"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
work=$(mktemp -d)
installed=0
cleanup() {
    [ "$installed" -eq 0 ] || $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq $packages >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

for p in $packages; do
    [ -f "$(ls "$debs"/${p}_*.deb)" ] || { echo "no $p package in $debs" >&2; exit 1; }
    if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        echo "$p is installed already; remove it first" >&2
        exit 1
    fi
done

echo "--- lintian"
# Errors fail; warnings are printed.
lintian --fail-on error "$debs"/*.deb

echo "--- install"
installed=1
(cd "$debs" && $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ./*.deb >/dev/null)
for p in $packages; do
    dpkg -L "$p" >"$work/$p.list"
    while read -r f; do
        [ -e "$f" ] || [ -L "$f" ] || { echo "$p lists $f, which is missing" >&2; exit 1; }
    done <"$work/$p.list"
done

echo "--- vantel-demo --check"
status=0
XDG_CONFIG_HOME="$work/config" TRACEL_LOG_DIR="$work/log" vantel-demo --check || status=$?
[ "$status" -le 1 ] || { echo "vantel-demo --check ended with $status" >&2; exit 1; }

echo "--- pkg-config"
major=$(pkg-config --variable=qt_major vantel)
for pc in vantel panor; do
    pkg-config --print-requires "$pc" | grep -q "^Qt${major}Widgets" \
        || { echo "$pc.pc does not require Qt${major}Widgets" >&2; exit 1; }
done
pkg-config --exists --print-errors "vantel = $(dpkg-query -W -f='${Version}' libvantel-dev)" tracel

echo "--- consumer built with CMake"
cmake -S "$root/tests/package/debian" -B "$work/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/cmake" >/dev/null
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" TRACEL_LOG_DIR="$work/log" "$work/cmake/vantel-consumer"

echo "--- consumer built with pkg-config"
icons=$(pkg-config --variable=icondir vantel)
# shellcheck disable=SC2046 # the flags are words
c++ -std=c++17 -fPIC -o "$work/vantel-consumer" "$root/tests/package/debian/consumer.cpp" \
    -DVANTEL_ICON_DIR="\"$icons\"" $(pkg-config --cflags --libs vantel)
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" TRACEL_LOG_DIR="$work/log" "$work/vantel-consumer"

echo "--- purge"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq $packages >/dev/null
installed=0
left=0
for p in $packages; do
    while read -r f; do
        # A folder others own too (/usr/bin) stays; the packages' own go.
        [ -e "$f" ] || [ -L "$f" ] || continue
        if [ -d "$f" ] && dpkg -S "$f" >/dev/null 2>&1; then
            continue
        fi
        echo "left behind by $p: $f" >&2
        left=1
    done <"$work/$p.list"
done
[ "$left" -eq 0 ]
echo "--- packages checked"
