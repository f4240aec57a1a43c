#!/usr/bin/env bash
# Checks of the Debian package and of what it ships.
#   check_package.sh lint PACKAGE        lintian (no errors or warnings), then the menu entry,
#                                        the AppStream data and the manual page as shipped
#   check_package.sh harden FILE=ENTRY... hardening-check on each binary, and the control-flow
#                                        protection (endbr64) at the start of its ENTRY function
set -uo pipefail
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

if [ "$1" = "lint" ]; then
    deb=$2
    [ -f "$deb" ] || { echo "FAIL: no $deb: build it with --target package" >&2; exit 1; }
    lintian --fail-on error,warning --display-info "$deb" || fail "lintian"
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    dpkg-deb -x "$deb" "$root"
    desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop entry"
    appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml ||
        fail "AppStream data"
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$root"/usr/share/man/man6/quorvane.6.gz 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "manual page: $warnings"
    exit $status
fi

shift
for pair in "$@"; do
    file=${pair%=*} entry=${pair##*=}
    # The linker cannot mark a binary for control-flow protection here: Debian 12's C start
    # files (crti.o, Scrt1.o) lack the IBT and SHSTK notes. Our code has it; see below.
    hardening-check --nocfprotection "$file" || fail "$file is not hardened"
    if [ "$(uname -m)" = x86_64 ]; then
        first=$(objdump -d --no-show-raw-insn --disassemble="$entry" "$file" |
            awk '/^ +[0-9a-f]+:/ { print $2; exit }')
        echo " Control-flow protection at $entry: $first"
        [ "$first" = endbr64 ] || fail "$file: $entry does not start with endbr64"
    fi
done
exit $status
