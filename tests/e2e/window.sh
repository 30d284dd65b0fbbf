#!/usr/bin/env bash
# The real window end to end, under Xvfb with real key and mouse events:
#   - start marlisk (a copy in a fresh folder, with a fresh settings file beside it),
#   - choose each symbology from the Symbology menu by keyboard, type a message and an
#     add-on, press Build/Copy,
#   - read the clipboard from another process (xclip) and decode it (zbarimg),
#   - check that the settings file holds the last symbology, leave by the Exit menu, start
#     again and check that the form of that symbology is hosted (its build decodes).
#   tests/e2e/window.sh PATH_TO_MARLISK
# Fails when Xvfb, xdotool, xclip or zbarimg is missing (setup.sh installs them).
set -uo pipefail
app="${1:?usage: $0 PATH_TO_MARLISK}"

for tool in Xvfb xdotool xclip zbarimg; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "FAIL: $tool is not installed (Debian: xvfb, xdotool, xclip, zbar-tools)"
        exit 1
    fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/marlisk-e2e.XXXXXX")"
xvfb_pid="" app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    echo "--- settings file:"; cat "$work/BCodeSetting.ini" 2>/dev/null
    echo "--- program output:"; tail -n 30 "$work/app.log" 2>/dev/null
    exit 1
}

cp "$app" "$work/marlisk"
# Fresh settings: page margins that give the decoder quiet zones, no symbology yet.
printf '[pagesetting]\nftop=100\nfdown=100\nfleft=250\nfright=250\nfiwidth=50\n' >"$work/BCodeSetting.ini"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

window=""
start_app() {
    "$work/marlisk" >>"$work/app.log" 2>&1 &
    app_pid=$!
    window=""
    for _ in $(seq 1 300); do
        window=$(xdotool search --onlyvisible --name '^Marlisk Barcode Generator' 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "the main window did not appear"
    xdotool windowfocus "$window" 2>/dev/null
    sleep 0.5
}

# Where a control of the hosted form is: its position on the form's input panel (the
# documented layout) plus where that panel starts in the window (1 right, and below the
# menu bar, the strip under it and the form's toolbar). Clicks aim at a control's middle.
panel_x=1 panel_y=72
click() { # x y width height, on the input panel
    xdotool mousemove --window "$window" $((panel_x + $1 + $3 / 2)) $((panel_y + $2 + $4 / 2)) click 1
    sleep 0.2
}
type_into() { # x y width text
    click "$1" "$2" "$3" 21
    xdotool key ctrl+a BackSpace
    xdotool type --delay 40 "$4"
}

# Symbology menu: Alt puts the focus on the menu bar ("Settings"), Right moves to
# "Symbology", Down opens it on its first item.
choose() { # position in the menu (0: C39 ... 4: UPC-E), stored name
    xdotool key --delay 150 alt Right Down
    for _ in $(seq 1 "$1"); do xdotool key --delay 100 Down; done
    xdotool key Return
    for _ in $(seq 1 50); do
        grep -qx "Checked=$2" "$work/BCodeSetting.ini" && return
        sleep 0.1
    done
    fail "choosing menu item $1 did not store '$2'"
}

# Presses Build/Copy and waits until the clipboard, read by xclip, decodes to the lines
# expected (zbarimg's "TYPE:data" lines, sorted; UPC-A and UPC-E enabled so that zbar names
# them rather than reading them as EAN-13).
build_and_decode() { # expected lines...
    click 456 184 81 25
    local want got=""
    want=$(printf '%s\n' "$@" | sort)
    for _ in $(seq 1 50); do
        if xclip -selection clipboard -t image/png -o >"$work/clip.png" 2>/dev/null; then
            got=$(zbarimg -q -Supca.enable -Supce.enable -Sean2.enable -Sean5.enable "$work/clip.png" 2>/dev/null | sort)
            [ "$got" = "$want" ] && return
        fi
        sleep 0.2
    done
    fail "the clipboard decodes to '${got//$'\n'/ | }', expected '${want//$'\n'/ | }'"
}

# The message edit sits at y 143 on the Code 39 form and at y 125 on the others; the
# add-on edit at (192, 152) on the EAN/UPC forms.
message_c39() { type_into 191 143 346 "$1"; }
message() { type_into 191 125 346 "$1"; }
addon() { type_into 192 152 137 "$1"; }

start_app

choose 0 "Bar Code C39"
message_c39 "MARLISK-39"
build_and_decode "CODE-39:MARLISK-39"
echo "ok: C39 from the menu, typed, built, copied and decoded"

choose 1 "Bar Code ENA13"
message 400638133393
addon 52495
build_and_decode "EAN-13:4006381333931" "EAN-5:52495"
echo "ok: EAN-13 with a 5-digit add-on"

choose 2 "Bar Code ENA8"
message 9638507
addon 12
build_and_decode "EAN-8:96385074" "EAN-2:12"
echo "ok: EAN-8 with a 2-digit add-on"

choose 3 "Bar Code UPC-A"
message 03600029145
addon 12
build_and_decode "UPC-A:036000291452" "EAN-2:12"
echo "ok: UPC-A with a 2-digit add-on"

choose 4 "Bar Code UPC-E"
message 123456
addon 52495
build_and_decode "UPC-E:01234565" "EAN-5:52495"
echo "ok: UPC-E with a 5-digit add-on"

grep -qx "Checked=Bar Code UPC-E" "$work/BCodeSetting.ini" || fail "the settings file does not hold UPC-E"

# Exit from the menu bar: Alt, then Left wraps round to "Exit".
xdotool key --delay 150 alt Left Return
for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "Exit did not end the program"
wait "$app_pid"
status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "ok: the settings file holds UPC-E; Exit ended the program"

# Started again, it hosts the UPC-E form without any menu choice.
start_app
message 654321
build_and_decode "UPC-E:06543217"
echo "ok: after a restart the UPC-E form is hosted"
