#!/bin/sh
# Fails when a Windows binary imports any DLL but the system's own.
# Usage: check_imports.sh OBJDUMP BINARY...
set -u
objdump="$1"
shift
status=0
for binary in "$@"; do
    if ! names=$("$objdump" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p'); then
        echo "cannot read the imports of $binary" >&2
        status=1
        continue
    fi
    if [ -z "$names" ]; then
        echo "$binary: no imports found" >&2
        status=1
    fi
    for name in $names; do
        case "$(echo "$name" | tr '[:upper:]' '[:lower:]')" in
            kernel32.dll | user32.dll | gdi32.dll | winmm.dll | msvcrt.dll | advapi32.dll | \
                shell32.dll | comctl32.dll | ole32.dll | ws2_32.dll | api-ms-win-crt-*.dll | \
                ucrtbase.dll)
                echo "$binary: $name" ;;
            *)
                echo "$binary: imports $name, which is not a system DLL" >&2
                status=1 ;;
        esac
    done
done
exit $status
