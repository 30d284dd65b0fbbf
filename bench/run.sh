#!/usr/bin/env bash
# Benchmarks: in-process builds against libzint, and a 10,000-line EAN-13 batch against
# zint --batch. Installs what it needs (Google Benchmark, libzint, zint), builds in
# build-bench, prints the figures.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
need=()
for p in libbenchmark-dev libzint-dev zint; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ "${#need[@]}" -gt 0 ]; then
    "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${need[@]}"
fi
"$here/setup.sh" build
build="$here/build-bench"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMARLISK_BENCH=ON >/dev/null
cmake --build "$build" --target bench_build bench_check marlisk-cli

echo "== in-process build of one default symbol (encode and draw)"
"$build/bench/bench_build" --benchmark_min_time=1

echo "== symbol check of one default symbol at 96 dpi (both decoders, every row band)"
"$build/bench/bench_check" --benchmark_min_time=1

echo "== batch of 10,000 EAN-13 PNGs"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
with open(f"{work}/ours.csv", "w") as ours, open(f"{work}/zint.txt", "w") as z:
    for i in range(10000):
        digits = f"{400000000000 + i * 7919:012d}"[-12:]
        ours.write(f"ean13,{digits},,,ours/{i:05d}.png\n")
        z.write(digits + "\n")
PY
mkdir -p "$work/ours" "$work/zint"
( cd "$work" && /usr/bin/time -f "marlisk-cli --batch: %e s wall, %U s user, %M KB" \
    "$build/marlisk-cli" --batch ours.csv )
( cd "$work/zint" && /usr/bin/time -f "zint --batch:        %e s wall, %U s user, %M KB" \
    zint -b EANX --batch --filetype=PNG -i ../zint.txt -o "~~~~~.png" )
echo "files: ours $(ls "$work/ours" | wc -l), zint $(ls "$work/zint" | wc -l)"
