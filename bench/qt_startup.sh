#!/usr/bin/env bash
# The Linux program's start-up against bare Qt window programs of ours, side by side in one
# run on a virtual X display: the time from starting the process to its first mapped window,
# and the peak resident memory (VmHWM) once that window has been up for a moment.
#   bench/qt_startup.sh [RUNS]     (default 30 runs of each, alternating)
# Goals: the game within 1.3 times the start-up time and 1.2 times the memory of a bare window
# with the same one text line, the yardstick; the empty window is shown for comparison.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-30}

if [ -z "${QRV_BENCH_IN_XVFB:-}" ]; then
    source scripts/common.sh
    need_packages "${QRV_BUILD_PACKAGES[@]}" "${QRV_QT_PACKAGES[@]}" "${QRV_QT_TEST_PACKAGES[@]}"
    cmake --preset release >/dev/null
    cmake --build --preset release
    # A display of its own, so that nothing else on screen disturbs the figures.
    QRV_BENCH_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$runs"
fi

probe=build/release/tests/qt/qrv_window_probe
bare=build/release/bench/qt/qrv_bare_window
text=build/release/bench/qt/qrv_text_window
game_dir=build/release/bin
if [ ! -f "$game_dir/libSynaptra.so" ]; then
    # Without the network library the error box would be the first window; the fake library
    # stands in for it.
    game_dir=$(mktemp -d)
    cp build/release/bin/quorvane "$game_dir/"
    cp build/release/tests/fake/fake_ready/libSynaptra.so "$game_dir/"
    echo "note: no network library built; the game runs with the fake one"
fi
game=$game_dir/quorvane

measure() {  # measure PROGRAM: prints "mapped_ms peak_kb"
    local out
    out=$("$probe" --stay 300 --then term -- "$1" 2>/dev/null) || {
        echo "the probe failed on $1" >&2
        exit 1
    }
    echo "$(sed -n 's/^mapped_ms=//p' <<<"$out") $(sed -n 's/^peak_kb=//p' <<<"$out")"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One unmeasured start of each warms the file cache; then the three take turns.
results=$(mktemp)
trap 'rm -f "$results"; [ "$game_dir" = build/release/bin ] || rm -rf "$game_dir"' EXIT
for program in "$bare" "$text" "$game"; do
    measure "$program" >/dev/null
done
for ((i = 0; i < runs; i++)); do
    echo "bare $(measure "$bare")" >>"$results"
    echo "text $(measure "$text")" >>"$results"
    echo "game $(measure "$game")" >>"$results"
done
figure() { awk -v who="$1" -v column="$2" '$1 == who { print $column }' "$results" | median; }

awk -v runs="$runs" \
    -v bm="$(figure bare 2)" -v bk="$(figure bare 3)" \
    -v tm="$(figure text 2)" -v tk="$(figure text 3)" \
    -v gm="$(figure game 2)" -v gk="$(figure game 3)" 'BEGIN {
    printf "Start-up to the first shown window, median of %d runs each (release build, Xvfb)\n", runs
    printf "%-30s %10s %11s %8s %8s\n", "", "time (ms)", "peak (KiB)", "time x", "memory x"
    printf "%-30s %10.1f %11d %8.2f %8.2f\n", "empty bare Qt window", bm, bk, bm / tm, bk / tk
    printf "%-30s %10.1f %11d %8.2f %8.2f\n", "bare window, text (yardstick)", tm, tk, 1, 1
    printf "%-30s %10.1f %11d %8.2f %8.2f\n", "quorvane", gm, gk, gm / tm, gk / tk
    printf "goals for quorvane against the window with the text line: time 1.30x, memory 1.20x: %s\n",
        (gm / tm <= 1.3 && gk / tk <= 1.2) ? "met" : "missed"
}'
