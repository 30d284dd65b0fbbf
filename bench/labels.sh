#!/usr/bin/env bash
# Label sheets: LINES EAN-13 numbers onto Avery 5160 as one PDF, marlisk-cli --batch --sheet
# against glabels-3-batch merging the same numbers from a CSV into a gLabels document with
# one EAN-13 object (the script writes both inputs). Both sides run in turn; the figures are
# medians of RUNS runs. Then the peak memory of 1,000, 10,000 and 50,000 lines (gLabels at
# 1,000 and at LINES). Page 1 of each side's first run is read back with zbarimg, so a side
# that prints nothing cannot win.
#   bench/labels.sh [LINES, default 10000] [RUNS, default 3]
# MARLISK_CLI names the program to time (default: build-bench/marlisk-cli).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lines="${1:-10000}"
runs="${2:-3}"
cli="${MARLISK_CLI:-$here/build-bench/marlisk-cli}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
need=()
for p in glabels glabels-data time poppler-utils zbar-tools; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ "${#need[@]}" -gt 0 ]; then
    "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${need[@]}"
fi
[ -x "$cli" ] || { echo "no $cli: build marlisk-cli first (bench/run.sh does)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same numbers for both: ours as batch lines with the output field empty, gLabels' as
# a one-column CSV (field "1").
inputs() {
    local n="$1"
    [ -f "$work/ours$n.csv" ] && return
    python3 - "$work" "$n" <<'PY'
import sys
work, n = sys.argv[1], int(sys.argv[2])
with open(f"{work}/ours{n}.csv", "w") as ours, open(f"{work}/gl{n}.csv", "w") as gl:
    for i in range(n):
        digits = f"{400000000000 + i * 7919:012d}"[-12:]
        ours.write(f"ean13,{digits},,,\n")
        gl.write(digits + "\n")
PY
    # Avery 5160 as the label database has it; one EAN-13 of 1.9 x 0.8 in merging field 1.
    cat >"$work/gl$n.glabels" <<EOF
<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="Avery" part="5160" size="US-Letter" description="Address Labels">
    <Label-rectangle id="0" width="2.625in" height="1in" round="0.0625in" x_waste="0in" y_waste="0in">
      <Markup-margin size="0.0625in"/>
      <Layout nx="3" ny="10" x0="0.15625in" y0="0.5in" dx="2.78125in" dy="1in"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
    <Object-barcode x="0.3in" y="0.1in" w="1.9in" h="0.8in" backend="gnu-barcode" style="EAN-13"
        text="True" checksum="True" field="1" color="0x000000ff"
        a0="1" a1="0" a2="0" a3="1" a4="0" a5="0"/>
  </Objects>
  <Merge type="Text/Comma" src="$work/gl$n.csv"/>
</Glabels-document>
EOF
}
# Sets `cmd` to one side's command for N lines into OUT.
ours() {
    cmd=("$cli" --batch "$work/ours$1.csv" --sheet "Avery 5160" --height 0.6 --top 40 --down 40
        --left 120 --right 120 -o "$2")
}
theirs() { cmd=(glabels-3-batch -o "$2" "$work/gl$1.glabels"); }

# One timed run: wall, user and system seconds, peak KiB.
timed() {
    /usr/bin/time -f "%e %U %S %M" -o "$work/t" "$@" >/dev/null 2>&1
    cat "$work/t"
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
load() { cut -d' ' -f1-3 /proc/loadavg; }

# A side's output must have its pages and, on the first, 30 symbols that decode to the
# first 30 numbers (zbar reports them with their check digit).
check() {
    local who="$1" n="$2" out="$3" pages=$((($2 + 29) / 30)) got want
    want=$(head -30 "$work/gl$n.csv" | sort | tr '\n' ' ')
    got=$(pdfinfo "$out" 2>/dev/null | awk '/^Pages:/ {print $2}')
    [ "$got" = "$pages" ] || { echo "$who: $got pages, not $pages" >&2; exit 1; }
    pdftoppm -r 200 -f 1 -l 1 -png "$out" "$work/page"
    got=$(zbarimg -q --raw "$work/page-"*1.png 2>/dev/null | cut -c1-12 | sort | tr '\n' ' ')
    rm -f "$work/page-"*.png
    [ "$got" = "$want" ] || { echo "$who: page 1 decodes to '$got'" >&2; exit 1; }
}

inputs "$lines"
echo "== $lines EAN-13 labels onto Avery 5160 as one PDF, in turn, median of $runs (load $(load))"
a="$work/a" b="$work/b"
: >"$a"
: >"$b"
for run in $(seq "$runs"); do
    ours "$lines" "$work/ours.pdf"
    timed "${cmd[@]}" >>"$a"
    theirs "$lines" "$work/theirs.pdf"
    timed "${cmd[@]}" >>"$b"
    if [ "$run" = 1 ]; then
        check marlisk-cli "$lines" "$work/ours.pdf"
        check glabels-3-batch "$lines" "$work/theirs.pdf"
        echo "   both: $((("$lines" + 29) / 30)) pages, page 1 decodes to its 30 numbers"
    fi
done
summary() {
    local f="$1" col
    for col in 1 2 3 4; do cut -d' ' -f"$col" "$f" | median; done | tr '\n' ' '
}
ours_size=$(stat -c %s "$work/ours.pdf")
read -r ow ou os op <<<"$(summary "$a")"
read -r tw tu ts tp <<<"$(summary "$b")"
awk -v ow="$ow" -v ou="$ou" -v os="$os" -v op="$op" -v tw="$tw" -v tu="$tu" -v ts="$ts" \
    -v tp="$tp" -v n="$lines" -v load="$(load)" 'BEGIN {
    printf "   %-17s %7.2f s wall, %6.2f s user, %5.2f s system (%6.1f us CPU a label), peak %6.1f MiB\n", "marlisk-cli", ow, ou, os, (ou + os) * 1e6 / n, op / 1024
    printf "   %-17s %7.2f s wall, %6.2f s user, %5.2f s system (%6.1f us CPU a label), peak %6.1f MiB\n", "glabels-3-batch", tw, tu, ts, (tu + ts) * 1e6 / n, tp / 1024
    printf "   ours / glabels: %.1f %% of the wall time, %.1f %% of the CPU time (load after: %s)\n", 100 * ow / tw, 100 * (ou + os) / (tu + ts), load
}'

echo "== peak memory, once each ($lines lines: the medians above; load $(load))"
for n in 1000 10000 50000; do
    if [ "$n" = "$lines" ]; then
        w="$ow" p="$op" size="$ours_size"
    else
        inputs "$n"
        ours "$n" "$work/ours.pdf"
        read -r w _ _ p <<<"$(timed "${cmd[@]}")"
        size=$(stat -c %s "$work/ours.pdf")
    fi
    line=$(awk -v n="$n" -v w="$w" -v p="$p" -v s="$size" 'BEGIN {
        printf "   %6d lines: marlisk-cli peak %6.1f MiB (%6.2f s, PDF %5.1f MiB, %d bytes a label)", n, p / 1024, w, s / 1048576, s / n }')
    if [ "$n" = "$lines" ]; then
        line+=$(awk -v w="$tw" -v p="$tp" 'BEGIN { printf "; glabels-3-batch peak %6.1f MiB (%6.2f s)", p / 1024, w }')
    elif [ "$n" -lt 10000 ]; then
        theirs "$n" "$work/theirs.pdf"
        read -r w _ _ p <<<"$(timed "${cmd[@]}")"
        line+=$(awk -v w="$w" -v p="$p" 'BEGIN { printf "; glabels-3-batch peak %6.1f MiB (%6.2f s)", p / 1024, w }')
    fi
    echo "$line"
done
