#!/bin/sh
# The Windows backend of the platform layer, cross-built and run under Wine:
# installs what it lacks, builds tests/win32 with mingw-w64 (no Qt), and runs
# the suite in a fresh Wine prefix that has a removable drive E: on a
# temporary folder, under umockdev with the battery of tests/win32/fixtures.
# Ends with the test runner's own summary line.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${VANTEL_BUILD_ROOT:-$root/build}/win32
jobs=${VANTEL_JOBS:-$(nproc)}

# Debian 12's Wine is 64-bit only: wine64 runs the programs, wine gives the command.
missing=""
for pkg in g++-mingw-w64-x86-64 wine wine64 googletest umockdev cmake ninja-build; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing="$missing $pkg"
done
if [ -n "$missing" ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing:$missing"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
fi

launcher=""
command -v ccache >/dev/null && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
# -O1 without debug information: googletest builds in half the time, and
# the suite runs in well under a second either way.
cmake -S "$root/tests/win32" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1 \
    -DVANTEL_WERROR=ON -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" $launcher
cmake --build "$out" -j "$jobs"

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# Runs one of Wine's set-up commands; its messages show only when it fails.
quietly() {
    "$@" >"$work/setup.log" 2>&1 || { cat "$work/setup.log"; echo "test-windows.sh: failed: $*" >&2; return 1; }
}

quietly wine wineboot --init
quietly wineserver -w

# Wine's null graphics driver: windows and messages without an X display.
quietly wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
# A crash ends the suite with a failure instead of waiting in Wine's debugger.
quietly wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f
quietly wine reg add 'HKLM\Software\Wine\Drives' /v e: /d floppy /f
mkdir "$work/stick"
ln -s "$work/stick" "$WINEPREFIX/dosdevices/e:"
wineserver -w # the mount manager reads the drives when Wine starts again

export VANTEL_TEST_POWER_STATUS="0 42" VANTEL_TEST_REMOVABLE_DRIVE='E:\'
# Wine 8's powrprof: PowerGetActiveScheme is there but not implemented (120).
export VANTEL_TEST_ACTIVE_SCHEME=120
run() {
    timeout 600 umockdev-run -d "$root/tests/win32/fixtures/battery.umockdev" -- wine "$out/tst_win32.exe" "$@"
}

# Wine passed off as Windows 10, where only RtlGetVersion tells 10.0; then
# the whole suite on Wine's own Windows 7.
quietly wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f
VANTEL_TEST_WINDOWS_VERSION=10.0 run --gtest_filter='Win32WindowsVersion.*' --gtest_brief=1
quietly wine reg delete 'HKCU\Software\Wine' /v Version /f
VANTEL_TEST_WINDOWS_VERSION=6.1 run
