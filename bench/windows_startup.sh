#!/usr/bin/env bash
# The Windows program's size and start-up time under Wine.
# - Size: quorvane.exe plus Synaptra.dll (goal: under 1 MiB together).
# - Start-up: from the start of the process to its main window existing and shown, for quorvane.exe and
#   for bare dialog programs of ours, started in turns (goal: within 1.2 times the bare one):
#   qrv_bare_game_template shows the game's own window template with nothing behind it, and
#   qrv_bare_dialog a one-button dialog.
# Usage: bench/windows_startup.sh [RUNS]   (default 15)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
need_packages "${QRV_BUILD_PACKAGES[@]}" "${QRV_WINDOWS_PACKAGES[@]}"

runs="${1:-15}"
build="$PWD/build/windows"
cmake --preset windows >/dev/null
cmake --build --preset windows

exe="$build/bin/quorvane.exe"
dll="$build/bin/Synaptra.dll"
exe_size=$(stat -c %s "$exe")
echo "== size"
echo "quorvane.exe   $exe_size bytes"
if [ -f "$dll" ]; then
    dll_size=$(stat -c %s "$dll")
    echo "Synaptra.dll   $dll_size bytes"
    total=$((exe_size + dll_size))
    echo "together       $total bytes ($(awk "BEGIN {printf \"%.3f\", $total / 1048576}") MiB; goal < 1 MiB)"
else
    echo "Synaptra.dll   not built in this tree; the size of the program alone is shown"
fi

# The game starts beside a library that loads, so no message box holds it up: the real one
# when built, else the stand-in of the tests.
stage="$build/bench/win32/stage"
rm -rf "$stage"
mkdir -p "$stage"
cp "$exe" "$stage/"
if [ -f "$dll" ]; then
    cp "$dll" "$stage/"
    [ -f "$build/bin/qrv.bpn" ] && cp "$build/bin/qrv.bpn" "$stage/"
else
    cp "$build/tests/win32/fake/wine_fake_ready/Synaptra.dll" "$stage/"
    echo "(start-up measured beside the stand-in library of the tests)"
fi
cp "$build/bench/win32/qrv_bare_game_template.exe" "$build/bench/win32/qrv_bare_dialog.exe" \
    "$stage/"

echo "== start-up under Wine, $runs runs each, in turns"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 900 xvfb-run -a -s '-screen 0 1024x768x24' sh -c '
    sh tests/win32/make_wine_prefix.sh "$WINEPREFIX" &&
    wine "$1" "$2" "Z:$3/quorvane.exe" QRVMainWinClass "Z:$3/qrv_bare_dialog.exe" "#32770" \
        "Z:$3/qrv_bare_game_template.exe" QRVMainWinClass
    status=$?
    timeout 60 wineserver -w
    exit $status' sh "$build/bench/win32/qrv_startup_timer.exe" "$runs" "$stage"
