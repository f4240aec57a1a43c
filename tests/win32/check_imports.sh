#!/bin/sh
# Fails when a Windows binary imports any DLL but the system's own, lacks ASLR (with 64-bit
# addresses) or DEP, or outgrows its size: the network library links none of the C++ runtime,
# which would multiply it.
# Usage: check_imports.sh OBJDUMP BINARY...
set -u
objdump="$1"
shift
status=0
for binary in "$@"; do
    if ! headers=$("$objdump" -p "$binary"); then
        echo "cannot read the imports of $binary" >&2
        status=1
        continue
    fi
    case "$(basename "$binary")" in
        quorvane.exe) budget=65536 ;;
        Synaptra.dll) budget=32768 ;;
        *) budget="" ;;
    esac
    size=$(wc -c <"$binary")
    if [ -n "$budget" ] && [ "$size" -gt "$budget" ]; then
        echo "$binary: $size bytes, more than $budget" >&2
        status=1
    fi
    names=$(printf "%s\n" "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p')
    for flag in DYNAMIC_BASE NX_COMPAT HIGH_ENTROPY_VA; do
        printf "%s\n" "$headers" | grep -qx "[[:space:]]*$flag" ||
            { echo "$binary: no $flag in its DllCharacteristics" >&2; status=1; }
    done
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
