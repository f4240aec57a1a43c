#!/usr/bin/env bash
# Installs the build into a temporary prefix, or the Debian package into the system, and starts
# the installed program the way a menu or a terminal would, watching its windows on a virtual X
# display.
#   install_test.sh BUILD_DIR PROBE FAKE_LIBRARY_DIR HAS_NETWORK_LIBRARY
#   install_test.sh --deb PACKAGE PROBE   (as root; purges the package again and checks that
#                                          none of its files remain)
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }

id=org.example.quorvane
scratch=$(mktemp -d)
errors="$scratch/stderr"
trap 'rm -rf "$scratch"' EXIT
if [ "$1" = "--deb" ]; then
    deb=$(readlink -f "$2") probe=$3 has_network=1 prefix=/usr link_dir=games
    [ -f "$deb" ] || fail "no $2: build it with cmake --build --preset deb --target package"
    if dpkg-query -W -f='${Status}' quorvane 2>/dev/null | grep -q "ok installed"; then
        echo "SKIP: a quorvane package that this test did not install is already installed"
        exit 77
    fi
    apt_get() { DEBIAN_FRONTEND=noninteractive apt-get "$@" -y -qq >/dev/null; }
    apt_get install "$deb"
    trap 'apt_get purge quorvane || true; rm -rf "$scratch"' EXIT
else
    build=$1 probe=$2 fake=$3 has_network=$4 link_dir=bin
    prefix="$scratch/prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null
fi

game_dir="$prefix/lib/quorvane"
[ -x "$game_dir/quorvane" ] || fail "no program in $game_dir"
link="$prefix/$link_dir/quorvane"
[ -L "$link" ] || fail "$link_dir/quorvane is not a symbolic link"
[ "$(readlink -f "$link")" = "$(readlink -f "$game_dir/quorvane")" ] ||
    fail "$link_dir/quorvane does not lead to the program"

desktop="$prefix/share/applications/$id.desktop"
[ -f "$desktop" ] || fail "no desktop file"
grep -qx "Exec=$link" "$desktop" || fail "the desktop file starts something else"
grep -qx "Icon=$id" "$desktop" || fail "the desktop file names another icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "the desktop file is not valid"
fi
for size in 32 48 64 128; do
    icon="$prefix/share/icons/hicolor/${size}x$size/apps/$id.png"
    [ -f "$icon" ] || fail "no $size-pixel icon"
    # A PNG's header holds its width and height as big-endian words at bytes 16 and 20.
    [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] ||
        fail "icon is no PNG"
    [ "$(od -An -tu4 --endian=big -j16 -N8 "$icon" | tr -s ' ')" = " $size $size" ] ||
        fail "icon is not ${size}x$size"
done

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
        "$probe" --stay 1000 --then "$1" -- "$link" 2>"$errors") || true
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

if [ -n "${deb:-}" ]; then
    installed=$(dpkg -L quorvane)
    apt_get purge quorvane
    trap 'rm -rf "$scratch"' EXIT
    for file in $installed; do
        # Shared folders such as /usr/share/applications stay; the package's files may not.
        if [ -L "$file" ] || { [ -e "$file" ] && [ ! -d "$file" ]; }; then
            fail "$file remains after the purge"
        fi
    done
    [ ! -e "$game_dir" ] || fail "$game_dir remains after the purge"
    echo "1 passed, 0 failed"
    exit 0
fi

# Without its library beside it the same program shows the error box first: the check above
# can tell the two apart. It also says why on standard error.
rm "$game_dir/libSynaptra.so"
out=$(run term)
echo "without the library: $(echo "$out" | tr '\n' ' ')"
grep -qxF "title=Error...Failed to load libSynaptra.so!" <<<"$out" ||
    fail "a missing library went unreported"
grep -qF "quorvane: cannot load the network library: $(readlink -f "$game_dir")/libSynaptra.so: \
cannot open shared object file: No such file or directory" "$errors" || fail "no reason on stderr"
echo "1 passed, 0 failed"
