#!/usr/bin/env bash
# check_hardening.sh FILE=FUNCTION...: hardening-check on each binary, and on x86-64 the
# control-flow protection (endbr64) at the start of FUNCTION. The linker cannot mark a binary
# for that protection here: Debian 12's C start files (crti.o, Scrt1.o) lack the IBT and SHSTK
# notes, so hardening-check's own line for it is ignored and the code is looked at instead.
status=0
for pair in "$@"; do
    file=${pair%=*} function=${pair##*=}
    hardening-check --nocfprotection "$file" || status=1
    [ "$(uname -m)" = x86_64 ] || continue
    first=$(objdump -d --no-show-raw-insn --disassemble="$function" "$file" |
        awk '/^ +[0-9a-f]+:/ { print $2; exit }')
    echo " Control-flow protection at $function: $first"
    [ "$first" = endbr64 ] || status=1
done
exit $status
