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
# The programs started here remember their settings in the scratch folder, not the user's.
export XDG_CONFIG_HOME="$scratch/config"
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

zgrep -qF ".I $game_dir/qrv.bpn" "$prefix/share/man/man6/quorvane.6.gz" ||
    fail "the manual page names the weights elsewhere"

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

# The command line and a missing display, without any display: the status, and the first line
# (and, where given, the number of lines) on standard output after a 0, else standard error;
# nothing on the other stream.
no_display="quorvane: cannot open a display (is DISPLAY or WAYLAND_DISPLAY set?)"
while IFS='|' read -r arguments status first lines; do
    read -ra words <<<"$arguments"
    code=0
    (cd / && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$link" "${words[@]}" \
        </dev/null >"$scratch/1" 2>"$scratch/2") || code=$?
    stream=$scratch/2 other=$scratch/1
    [ "$status" != 0 ] || stream=$scratch/1 other=$scratch/2
    echo "quorvane $arguments: $code, $(head -n1 "$stream")"
    [ "$code" = "$status" ] || fail "quorvane $arguments: status $code, expected $status"
    [ "$(head -n1 "$stream")" = "$first" ] || fail "quorvane $arguments: another first line"
    [ -z "$lines" ] || [ "$(wc -l <"$stream")" = "$lines" ] || fail "quorvane $arguments: lines"
    [ ! -s "$other" ] || fail "quorvane $arguments: wrote to the other stream"
done <<EOF
--help|0|Usage: quorvane [OPTION...]|
--version|0|quorvane $QRV_VERSION|1
--frobnicate|1|quorvane: unknown option '--frobnicate'|
|1|$no_display|1
-platform xcb -style Fusion|1|$no_display|1
EOF

# A display of its own without a window manager, so that the program's own window is the one
# mapped on the root, whoever runs the test.
run() {  # run ACTION [ARGUMENT...]: start the installed program from elsewhere, end it with ACTION
    (cd / && env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY xvfb-run -a -s "-screen 0 1024x768x24" \
        "$probe" --stay "${stay:-1000}" --timeout "${timeout:-20000}" --then "$1" -- "$link" \
        "${@:2}" </dev/null 2>"$scratch/stderr") || true
}

main_title="title=Play Xs & Os with Neural Network..."
for action in close escape space; do
    # Qt's own options reach Qt.
    out=$(run "$action" -platform xcb)
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

# With its library or weights spoilt the same program shows the error box first (the check
# above can tell the two apart), within the probe's 5 s even for a FIFO, which a read would wait
# on for ever, and says why on standard error. The weights matter only to the real library.
lib=$game_dir/libSynaptra.so weights=$game_dir/qrv.bpn
# The library cut to half its length once stripped: a debug build's notes alone fill half.
cp "$lib" "$scratch/lib" && strip -o "$scratch/stripped" "$lib"
half=$(($(stat -c %s "$scratch/stripped") / 2))
[ "$has_network" != 1 ] || cp "$weights" "$scratch/weights"
while IFS='|' read -r spoilt reason; do
    [ "$has_network" = 1 ] || [ "${reason#qrv.bpn}" = "$reason" ] || continue
    [ "$(id -u)" != 0 ] || [ "$spoilt" != "unreadable weights" ] || continue  # root reads it
    case $spoilt in
        "missing library") rm "$lib" ;;
        "FIFO library") rm "$lib" && mkfifo "$lib" ;;
        "cut library") head -c "$half" "$scratch/stripped" >"$lib" ;;
        "FIFO weights") rm "$weights" && mkfifo "$weights" ;;
        "missing weights") rm "$weights" ;;
        "empty weights") : >"$weights" ;;
        "unreadable weights") chmod 0 "$weights" ;;
        "damaged weights") printf x | dd of="$weights" bs=1 seek=40 conv=notrunc status=none ;;
    esac
    out=$(stay=200 timeout=5000 run term)
    echo "$spoilt: $(echo "$out" "$(cat "$scratch/stderr")" | tr '\n' ' ')"
    grep -qxF "title=Error...Failed to load libSynaptra.so!" <<<"$out" ||
        fail "$spoilt: no error box first"
    grep -qxF "quorvane: cannot load the network library: $(readlink -f "$game_dir")/$reason" \
        "$scratch/stderr" || fail "$spoilt: not the reason"
    rm -rf "$lib" "$weights" && cp "$scratch/lib" "$lib"
    [ "$has_network" != 1 ] || cp "$scratch/weights" "$weights"
done <<'EOF'
missing library|libSynaptra.so: cannot open shared object file: No such file or directory
FIFO library|libSynaptra.so: not a regular file
cut library|libSynaptra.so: truncated
FIFO weights|qrv.bpn: not a regular file
missing weights|qrv.bpn: No such file or directory
empty weights|qrv.bpn: empty file
unreadable weights|qrv.bpn: Permission denied
damaged weights|qrv.bpn: checksum does not match
EOF
echo "1 passed, 0 failed"
