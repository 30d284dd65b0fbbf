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

work="$(mktemp -d "${TMPDIR:-/tmp}/marlisk-e2e.XXXXXX")"
. "$(dirname "$0")/xsession.sh"
need Xvfb xdotool xclip zbarimg

# Fresh settings: page margins that give the decoder quiet zones, no symbology yet.
printf '[pagesetting]\nftop=100\nfdown=100\nfleft=250\nfright=250\nfiwidth=50\n' >"$work/BCodeSetting.ini"

# No window manager: the focus is given to the window directly.
start_xserver
export QT_QPA_PLATFORM=xcb

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
wait_for_exit
echo "ok: the settings file holds UPC-E; Exit ended the program"

# Started again, it hosts the UPC-E form without any menu choice.
start_app
message 654321
build_and_decode "UPC-E:06543217"
echo "ok: after a restart the UPC-E form is hosted"
