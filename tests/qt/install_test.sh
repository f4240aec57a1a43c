#!/usr/bin/env bash
# Installs the build into a temporary prefix, or (--deb, as root) the Debian package into the
# system, and starts the installed program the way a menu or a terminal would, watching its
# windows on a virtual X display. The package is purged again, leaving none of its files.
#   install_test.sh BUILD_DIR PROBE FAKE_LIBRARY_DIR HAS_NETWORK_LIBRARY LINK_DIR
#   install_test.sh --deb PACKAGE PROBE
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get "$@" -y -qq >/dev/null; }

id=org.example.quorvane scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if [ "$1" = "--deb" ]; then
    deb=$(readlink -f "$2") probe=$3 has_network=1 prefix=/usr link_dir=games
    if dpkg-query -W -f='${db:Status-Status}' quorvane 2>/dev/null | grep -qx installed; then
        echo "SKIP: a quorvane package that this test did not install is installed" && exit 77
    fi
    apt_get install "$deb"
    trap 'apt_get purge quorvane; rm -rf "$scratch"' EXIT
else
    build=$1 probe=$2 fake=$3 has_network=$4 link_dir=$5 prefix="$scratch/prefix"
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
    # A PNG's header holds its width and height as big-endian words at bytes 16 and 20.
    [ "$(od -An -tx1 -N4 "$icon" | tr -d ' ')" = "89504e47" ] || fail "no $size-pixel PNG icon"
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
        "$probe" --stay 1000 --then "$1" -- "$link" 2>"$scratch/stderr") || true
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
    # Folders shared with other packages stay; the package's files and its own folder may not.
    for file in $(dpkg -L quorvane); do [ -d "$file" ] || echo "$file"; done >"$scratch/files"
    apt_get purge quorvane
    trap 'rm -rf "$scratch"' EXIT
    remains=$(xargs ls -d "$game_dir" <"$scratch/files" 2>/dev/null || true)
    [ -z "$remains" ] || fail "left after the purge: $remains"
    echo "1 passed, 0 failed" && exit 0
fi

# Without its library beside it the same program shows the error box first: the check above
# can tell the two apart. It also says why on standard error.
rm "$game_dir/libSynaptra.so"
out=$(run term)
echo "without the library: $(echo "$out" | tr '\n' ' ')"
grep -qxF "title=Error...Failed to load libSynaptra.so!" <<<"$out" ||
    fail "a missing library went unreported"
grep -qF "quorvane: cannot load the network library: $(readlink -f "$game_dir")/libSynaptra.so: \
cannot open shared object file: No such file or directory" "$scratch/stderr" || fail "no reason"
echo "1 passed, 0 failed"
