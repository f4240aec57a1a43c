#!/usr/bin/env bash
# Installs the build into a temporary prefix and starts the installed program the way a menu or
# a terminal would, watching its windows on a virtual X display.
#   install_test.sh BUILD_DIR PROBE FAKE_LIBRARY_DIR HAS_NETWORK_LIBRARY
set -euo pipefail
build=$1 probe=$2 fake=$3 has_network=$4

fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

game_dir="$prefix/lib/quorvane"
[ -x "$game_dir/quorvane" ] || fail "no program in $game_dir"
[ -L "$prefix/bin/quorvane" ] || fail "bin/quorvane is not a symbolic link"
[ "$(readlink -f "$prefix/bin/quorvane")" = "$(readlink -f "$game_dir/quorvane")" ] ||
    fail "bin/quorvane does not lead to the program"

desktop="$prefix/share/applications/quorvane.desktop"
[ -f "$desktop" ] || fail "no desktop file"
grep -qx "Exec=$prefix/bin/quorvane" "$desktop" || fail "the desktop file starts something else"
grep -qx "Icon=quorvane" "$desktop" || fail "the desktop file names another icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "the desktop file is not valid"
fi
icon="$prefix/share/icons/hicolor/32x32/apps/quorvane.png"
[ -f "$icon" ] || fail "no icon"
# A PNG's header holds its width and height as big-endian words at bytes 16 and 20.
[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "icon is no PNG"
[ "$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ')" = " 0 0 0 32 0 0 0 32" ] || fail "icon is not 32x32"

if [ "$has_network" = "1" ]; then
    [ -f "$game_dir/libSynaptra.so" ] || fail "the network library is not installed"
    [ -f "$game_dir/qrv.bpn" ] || fail "the weights are not installed"
else
    # This build has no network library of its own; the fake one stands in for it.
    [ ! -e "$game_dir/libSynaptra.so" ] || fail "a network library appeared from nowhere"
    cp "$fake/libSynaptra.so" "$game_dir/"
fi

# A display of its own without a window manager, so that the program's own window is the one
# mapped on the root, whoever runs the test.
run() {  # run ACTION: start the installed program from elsewhere, end it with ACTION
    (cd / && env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY xvfb-run -a -s "-screen 0 1024x768x24" \
        "$probe" --stay 1000 --then "$1" -- "$prefix/bin/quorvane" 2>/dev/null) || true
}

main_title="title=Play Xs & Os with Neural Network..."
for action in close escape space; do
    out=$(run "$action")
    echo "$action: $(echo "$out" | tr '\n' ' ')"
    # The first window to show is the game's, so the library's error box never came.
    grep -qxF "$main_title" <<<"$out" || fail "$action: the first window was not the game's"
    grep -qx "alive=1" <<<"$out" || fail "$action: the program did not stay up"
    grep -qx "exit=0" <<<"$out" || fail "$action: the program did not end with 0"
done

# Without its library beside it the same program shows the error box first: the check above
# can tell the two apart.
rm "$game_dir/libSynaptra.so"
out=$(run term)
echo "without the library: $(echo "$out" | tr '\n' ' ')"
grep -qxF "title=Error...Failed to load libSynaptra.so!" <<<"$out" ||
    fail "a missing library went unreported"
echo "1 passed, 0 failed"
