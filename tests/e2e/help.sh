#!/usr/bin/env bash
# Help > Help on a desktop: the program installed into a fresh prefix (cmake --install),
# started under Xvfb with a window manager, Help chosen by keyboard:
#   - with a desktop opener on PATH (a recorder standing in for xdg-open), the opener is
#     asked to open the installed HTML manual;
#   - with no opener at all, a "Notice" says where the manual is.
#   tests/e2e/help.sh BUILD_DIR
set -uo pipefail
build="${1:?usage: $0 BUILD_DIR}"
work="$(mktemp -d "${TMPDIR:-/tmp}/marlisk-help.XXXXXX")"
. "$(dirname "$0")/xsession.sh"
need Xvfb openbox xdotool cmake

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 || fail "cmake --install failed: $(tail -n 5 "$work/install.log")"
manual="$work/prefix/share/doc/marlisk/marlisk.html"
[ -f "$manual" ] || fail "the install has no $manual"
app="$work/prefix/bin/marlisk"

# The recorder: what the program asks the desktop to open.
mkdir -p "$work/opener" "$work/none"
cat >"$work/opener/xdg-open" <<REC
#!/bin/sh
printf '%s\n' "\$*" >>"$work/opened"
REC
chmod +x "$work/opener/xdg-open"

export QT_QPA_PLATFORM=xcb
start_xserver with_wm
unset BROWSER XDG_CURRENT_DESKTOP KDE_FULL_SESSION DESKTOP_SESSION

run_help() { # PATH for the program
    (cd "$work" && PATH="$1" "$app" >>"$work/app.log" 2>&1) &
    app_pid=$!
    window=$(wait_for_window '^Marlisk Barcode Generator') || fail "the main window did not appear"
    xdotool windowactivate --sync "$window" 2>/dev/null
    sleep 1
    # F10 opens Settings, Escape leaves the bar active; Left twice reaches Help, Enter opens
    # it and "h" is its Help item.
    xdotool key --delay 250 F10 Escape Left Left Return h
    sleep 1.5
}

run_help "$work/opener"
for _ in $(seq 1 50); do [ -s "$work/opened" ] && break; sleep 0.1; done
[ -s "$work/opened" ] || fail "Help asked no opener to open anything"
want="file://$(readlink -f "$manual")"
grep -qxF "$want" "$work/opened" || fail "Help opened '$(cat "$work/opened")', expected '$want'"
xdotool search --onlyvisible --name '^Notice$' >/dev/null 2>&1 && fail "a Notice came although the manual was opened"
xdotool key --delay 250 F10 Escape Left Return
wait_for_exit
echo "ok: Help opened the installed manual through the desktop's opener"

run_help "$work/none"
notice=$(wait_for_window '^Notice$') || fail "with no opener, no Notice appeared"
xdotool windowactivate --sync "$notice" 2>/dev/null
xdotool key Return
sleep 0.5
xdotool key --delay 250 F10 Escape Left Return
wait_for_exit
echo "ok: with no opener, a Notice told where the manual is"
