#!/usr/bin/env bash
# Makes the README's pictures: starts marlisk under Xvfb with a window manager, builds an
# EAN-13 with a 5-digit add-on as a user would (clicks and typing) and takes a screenshot
# of the window with its preview and check summary (window.png); then puts UPC-A labels on
# a partly used sheet of Avery 5160 with marlisk-cli (beside the program) and draws the
# printed page (sheet.png).
#   docs/screenshots.sh [OUTDIR] [PATH_TO_MARLISK]
# OUTDIR defaults to docs/ beside this script, the program to build/marlisk.
# Needs Xvfb, openbox, xdotool, xclip and imagemagick's import (./setup.sh test installs them).
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here}"
app="${2:-$here/../build/marlisk}"

for tool in Xvfb openbox xdotool xclip import pdftoppm; do
    command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is not installed"; exit 1; }
done
[ -x "$app" ] || { echo "FAIL: no program at $app (build it first)"; exit 1; }
mkdir -p "$out"

work="$(mktemp -d "${TMPDIR:-/tmp}/marlisk-shots.XXXXXX")"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    tail -n 20 "$work/app.log" 2>/dev/null
    exit 1
}

# A copy of the program with settings beside it: page values that give full quiet zones,
# and the EAN-13 form already chosen.
cp "$app" "$work/marlisk"
printf '[Symbology]\nChecked=Bar Code ENA13\n[pagesetting]\nftop=100\nfdown=100\nfleft=250\nfright=250\nfiwidth=50\n' \
    >"$work/BCodeSetting.ini"

Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY QT_SCALE_FACTOR

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 0.5

"$work/marlisk" >"$work/app.log" 2>&1 &
pids+=($!)
window=""
for _ in $(seq 1 300); do
    window=$(xdotool search --onlyvisible --name '^Marlisk Barcode Generator' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "the main window did not appear"
xdotool windowmove "$window" 40 30 windowactivate --sync "$window" 2>/dev/null
sleep 0.5

# Controls by their place on the form's input panel, which starts 1 pixel right of and 72
# below the window's client area (menu bar, the strip under it, the form's toolbar).
click() { # x y width height
    xdotool mousemove --window "$window" $((1 + $1 + $3 / 2)) $((72 + $2 + $4 / 2)) click 1
    sleep 0.2
}
type_into() { # x y width text
    click "$1" "$2" "$3" 21
    xdotool key ctrl+a BackSpace
    xdotool type --delay 30 "$4"
}
type_into 191 125 346 590123412345
type_into 192 152 137 51995
type_into 191 98 346 "Marlisk sample"
click 456 184 81 25   # Build/Copy

# Built when the clipboard holds its picture.
for _ in $(seq 1 50); do
    xclip -selection clipboard -t image/png -o >"$work/clip.png" 2>/dev/null && [ -s "$work/clip.png" ] && break
    sleep 0.2
done
[ -s "$work/clip.png" ] || fail "Build/Copy put no picture on the clipboard"
xdotool mousemove 0 0
sleep 0.5

frame=$(xdotool search --onlyvisible --name '^Marlisk Barcode Generator' 2>/dev/null | head -n 1)
# The window with the window manager's frame round it.
import -frame -window "$frame" "$out/window.png" 2>"$work/import.log" || fail "import: $(cat "$work/import.log")"
echo "wrote $out/window.png"

# A printed sheet: labels from the second row on, as marlisk-cli --sheet makes them.
cli="$(dirname "$app")/marlisk-cli"
"$cli" upca 03600029145 --height 0.6 --top 40 --down 40 --left 120 --right 120 \
    --sheet "Avery 5160" --copies 20 --start 2,1 -o "$work/sheet.pdf" ||
    fail "marlisk-cli did not make the sheet"
pdftoppm -r 100 -png -singlefile "$work/sheet.pdf" "$out/sheet" || fail "pdftoppm failed"
echo "wrote $out/sheet.png"
