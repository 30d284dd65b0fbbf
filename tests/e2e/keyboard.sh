#!/usr/bin/env bash
# The window driven by the keyboard alone (xdotool key events, no mouse), under Xvfb with a
# window manager, from a first start without a settings file:
#   - F10 opens the menu bar; Symbology > EAN-13 by its mnemonic; the message typed; Tab to
#     Build/Copy and Enter: the clipboard's PNG has the pixels marlisk-cli makes;
#   - Settings > Page setting by its mnemonic, five values typed, Save pressed with Enter:
#     the settings file holds them and the next build has them;
#   - Exit from the menu bar ends the program.
#   tests/e2e/keyboard.sh PATH_TO_MARLISK PATH_TO_MARLISK_CLI
set -uo pipefail
app="${1:?usage: $0 PATH_TO_MARLISK PATH_TO_MARLISK_CLI}"
cli="${2:?usage: $0 PATH_TO_MARLISK PATH_TO_MARLISK_CLI}"
work="$(mktemp -d "${TMPDIR:-/tmp}/marlisk-keys.XXXXXX")"
. "$(dirname "$0")/xsession.sh"
need Xvfb openbox xdotool xclip compare

export QT_QPA_PLATFORM=xcb
start_xserver with_wm
[ -e "$work/BCodeSetting.ini" ] && fail "a settings file exists before the first start"
start_app

keys() { xdotool key --delay 250 "$@"; sleep 0.5; }

# The clipboard's PNG against marlisk-cli's picture of the same inputs, pixel for pixel.
clipboard_matches_cli() { # cli arguments...
    "$cli" "$@" -o "$work/cli.png" || fail "marlisk-cli $* failed"
    local diff=""
    for _ in $(seq 1 50); do
        if xclip -selection clipboard -t image/png -o >"$work/clip.png" 2>/dev/null; then
            diff=$(compare -metric AE "$work/clip.png" "$work/cli.png" null: 2>&1)
            [ "$diff" = "0" ] && return 0
        fi
        sleep 0.2
    done
    fail "the clipboard's picture differs from marlisk-cli $* ($diff pixels, or sizes $(identify -format '%wx%h' "$work/clip.png" 2>/dev/null) / $(identify -format '%wx%h' "$work/cli.png"))"
}

# F10 opens Settings; Right moves to Symbology; "3" is EAN-13's mnemonic.
keys F10 Right 3
for _ in $(seq 1 50); do grep -qx "Checked=Bar Code ENA13" "$work/BCodeSetting.ini" 2>/dev/null && break; sleep 0.1; done
grep -qx "Checked=Bar Code ENA13" "$work/BCodeSetting.ini" 2>/dev/null || fail "F10 > Symbology > EAN-13 did not store the EAN-13 form"
echo "ok: F10 and the mnemonics chose EAN-13"

# The form starts in the height; Tab to the comment, the message, then Build/Copy.
keys Tab Tab
xdotool type --delay 60 590123412345
keys Tab Return
page0=(--top 0 --down 0 --left 0 --right 0 --interval 0)
clipboard_matches_cli ean13 590123412345 "${page0[@]}"
echo "ok: Tab to Build/Copy and Enter copied marlisk-cli's picture"

# Settings > Page setting (mnemonic "a"); the dialog opens in the top edit. Enter in an
# edit moves on in the tab order (Save, Close, top, down, left, right, interval): after the
# interval to Save.
keys F10 a
dialog=$(wait_for_window '^Page Setting$') || fail "Page Setting did not open"
for v in 100 100 250 250 50; do
    keys ctrl+a
    xdotool type --delay 60 "$v"
    keys Return
done
keys Return
for _ in $(seq 1 50); do xdotool search --onlyvisible --name '^Page Setting$' >/dev/null 2>&1 || break; sleep 0.1; done
xdotool search --onlyvisible --name '^Page Setting$' >/dev/null 2>&1 && fail "Enter on Save did not close Page Setting"
for kv in ftop=100 fdown=100 fleft=250 fright=250 fiwidth=50; do
    grep -qx "$kv" "$work/BCodeSetting.ini" || fail "the settings file lacks $kv"
done
echo "ok: Page Setting filled and saved with Enter"

# Back in the form, the focus is where the build put it (the message): Tab to Build/Copy,
# Enter builds with the new values.
sleep 1
keys Tab Return
clipboard_matches_cli ean13 590123412345 --top 100 --down 100 --left 250 --right 250 --interval 50
echo "ok: the next build has the saved page values"

# Exit: F10 opens Settings, Escape closes it and leaves the bar active, Left wraps round
# to Exit, Enter.
keys F10 Escape Left Return
wait_for_exit
echo "ok: Exit from the menu ended the program"
