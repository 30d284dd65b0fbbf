#!/usr/bin/env bash
# Benchmarks, each figure beside its peer's from the same run (never part of the tests):
#   - one default symbol of each symbology encoded and drawn in memory, against libzint;
#   - what a label's PNG costs to encode, and to put into a new file whole against a plain
#     create-write-close;
#   - 10,000 EAN-13 PNGs, marlisk-cli --batch against zint --batch, taken in turn;
#   - the peak memory of a 10,000- and a 100,000-line batch, against zint's;
#   - Build/Copy in the window, from the press to the picture on the clipboard, and the
#     window's peak memory after the builds;
#   - start to a visible window against Zint Barcode Studio (bench/startup.sh);
#   - 10,000 EAN-13 labels onto Avery 5160 sheets against glabels-3-batch, and the peak
#     memory of 1,000 to 50,000 labels (bench/labels.sh).
# Installs what it needs, builds in build-bench (Release). The machine should be quiet:
# figures are medians of several runs.
#   bench/run.sh [RUNS, default 5]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-5}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
need=()
for p in libbenchmark-dev libzint-dev zint zint-qt time xvfb xdotool x11-utils glabels; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ "${#need[@]}" -gt 0 ]; then
    "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${need[@]}"
fi
"$here/setup.sh" build
build="$here/build-bench"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMARLISK_TESTS=OFF \
    -DMARLISK_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target bench_build bench_window bench_check marlisk-cli marlisk

echo "== in-process: one default symbol encoded and drawn (ours/ against zint/; unpainted/ is"
echo "   ours without painting the pixels), PNG encoding, a new file written whole (file/whole)"
echo "   against create-write-close (file/plain)"
"$build/bench/bench_build" --benchmark_repetitions="$runs" --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true \
    --benchmark_display_aggregates_only=true 2>/dev/null | grep -E '^(Benchmark|[a-z0-9/:]+_median)'

echo "== symbol check of one default symbol at 96 dpi (both decoders, every row band)"
"$build/bench/bench_check" --benchmark_min_time=1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
for n in (10000, 100000):
    with open(f"{work}/ours{n}.csv", "w") as ours, open(f"{work}/zint{n}.txt", "w") as z:
        for i in range(n):
            digits = f"{400000000000 + i * 7919:012d}"[-12:]
            ours.write(f"ean13,{digits},,,{i:06d}.png\n")
            z.write(digits + "\n")
PY

# One timed run in a fresh folder: wall, user and system seconds, peak KiB.
timed() {
    local dir
    dir=$(mktemp -d -p "$work")
    (cd "$dir" && /usr/bin/time -f "%e %U %S %M" -o "$work/t" "$@" >/dev/null 2>&1)
    cat "$work/t"
    rm -rf "$dir"
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# Runs both commands in turn RUNS times and prints the medians, per label where it says.
pair() {
    local n="$1" count="$2" a b
    a=$(mktemp -p "$work") b=$(mktemp -p "$work")
    for _ in $(seq "$count"); do
        timed "$build/marlisk-cli" --batch "$work/ours$n.csv" >>"$a"
        timed zint -b EANX --batch --filetype=PNG -i "$work/zint$n.txt" -o "~~~~~~.png" >>"$b"
    done
    for who in "marlisk-cli --batch:$a" "zint --batch:$b"; do
        local f="${who##*:}"
        local wall user sys peak
        wall=$(cut -d' ' -f1 "$f" | median) user=$(cut -d' ' -f2 "$f" | median)
        sys=$(cut -d' ' -f3 "$f" | median) peak=$(cut -d' ' -f4 "$f" | median)
        awk -v w="$wall" -v u="$user" -v s="$sys" -v p="$peak" -v n="$n" -v who="${who%%:*}" \
            'BEGIN { printf "%-21s %6.2f s wall, %5.2f s user (%5.1f us a label), %5.2f s system (%5.1f us a label), peak %6.1f MiB\n", who, w, u, u * 1e6 / n, s, s * 1e6 / n, p / 1024 }'
    done
}
echo "== batch of 10,000 EAN-13 PNGs, in turn, median of $runs"
pair 10000 "$runs"
echo "== batch of 100,000 EAN-13 PNGs, once each"
pair 100000 1

echo "== Build/Copy in the window (offscreen), press to picture on the clipboard"
"$build/bench/bench_window" 200 2>/dev/null

echo "== start to a visible window"
"$here/bench/startup.sh" "$build/marlisk" 10 | tail -2

MARLISK_CLI="$build/marlisk-cli" "$here/bench/labels.sh" 10000 "$runs"
