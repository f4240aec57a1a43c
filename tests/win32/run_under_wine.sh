#!/bin/sh
# Runs a Windows program under Wine in the tests' own prefix, then turns the BMP screenshots it
# left into PNG files.
# Usage: run_under_wine.sh PREFIX SCREENSHOT-DIR PROGRAM ARGS...
set -u
export WINEPREFIX="$1"
screenshots="$2"
shift 2
export WINEDEBUG=-all
# No menu entries on the host for the shortcuts that the installer makes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ -z "${DISPLAY:-}" ]; then
    echo "No X display: run the Wine tests inside xvfb-run (scripts/test does)." >&2
    exit 1
fi
wine "$@"
status=$?
for bitmap in "$screenshots"/*.bmp; do
    [ -e "$bitmap" ] || continue
    if convert "$bitmap" "${bitmap%.bmp}.png"; then
        rm -f "$bitmap"
    else
        echo "cannot convert $bitmap" >&2
        status=1
    fi
done
exit $status
