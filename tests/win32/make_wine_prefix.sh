#!/bin/sh
# Makes the Wine prefix of the tests once; later runs reuse it.
# Usage: make_wine_prefix.sh PREFIX
set -eu
export WINEPREFIX="$1"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wine wineboot --init
fi
# Leaves no process of the start-up behind that could still change the prefix.
wineserver -w
test -f "$WINEPREFIX/system.reg"
