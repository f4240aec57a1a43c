#!/bin/sh
# Makes the Wine prefix of the tests once; later runs reuse it.
# Usage: make_wine_prefix.sh PREFIX
set -eu
export WINEPREFIX="$1"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -f "$WINEPREFIX/system.reg" ]; then
    # Ends whatever an earlier, interrupted run left running in this prefix.
    wineserver -k 2>/dev/null || true
else
    mkdir -p "$WINEPREFIX"
    wine wineboot --init
fi
# A program that crashes is reported on its console and ends, instead of waiting behind a
# crash dialog that nobody closes.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
# Windows open inside a desktop window that Wine draws itself, frames and captions included,
# as they look on Windows; without a window manager they would have neither.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
# The screen at 96 DPI, even after a high-DPI scenario that could not put its setting back.
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
# Leaves no process of the start-up behind that could still change the prefix.
timeout 120 wineserver -w
test -f "$WINEPREFIX/system.reg"
