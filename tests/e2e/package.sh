#!/usr/bin/env bash
# The Debian package as a user meets it, under Xvfb with real key events:
#   - builds the package with cpack and checks its name, contents, dependencies and that
#     its desktop entry validates,
#   - unpacks it into a temporary root owned by root and runs the window from there as
#     `nobody` with a fresh HOME: choose UPC-A, save page values, exit, start again: the
#     form and the values come back (the clipboard decodes and has the margins' size), and
#     the file is ~/.config/marlisk/BCodeSetting.ini; marlisk-cli reads the same file,
#   - the same with the programs in a folder `nobody` can write: the file is beside them.
#   tests/e2e/package.sh BUILD_DIR
# Fails when a tool it needs is missing (setup.sh installs them); exits 77 (skipped) when
# not run as root (it must make a root-owned tree and switch to `nobody`).
set -uo pipefail
build="${1:?usage: $0 BUILD_DIR}"

work="$(mktemp -d "${TMPDIR:-/tmp}/marlisk-package.XXXXXX")"
chmod 755 "$work"
. "$(dirname "$0")/xsession.sh"
need cpack dpkg-deb dpkg-shlibdeps setpriv Xvfb xdotool xclip zbarimg desktop-file-validate od
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: must run as root to unpack into a root-owned tree and start the program as nobody"
    exit 77
fi

# --- The package.
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
deb=$(ls "$work"/marlisk_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no marlisk_<version>_amd64.deb was made: $(ls "$work")"
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in usr/bin/marlisk usr/bin/marlisk-cli usr/share/applications/marlisk.desktop \
    usr/share/icons/hicolor/scalable/apps/marlisk.svg usr/share/man/man1/marlisk.1.gz \
    usr/share/man/man1/marlisk-cli.1.gz usr/share/doc/marlisk/marlisk.html; do
    grep -qx "./$f" <<<"$contents" || fail "the package lacks /$f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in fonts-droid-fallback libqt6widgets6 libqt6printsupport6 libcups2 libc6; do
    grep -q "\b$d\b" <<<"$depends" || fail "the package does not depend on $d: $depends"
done
# The print system's library is linked, so dpkg-shlibdeps finds it with the least version
# the binaries need: it is no name typed by hand.
grep -Eq "\blibcups2 \(>= [0-9]" <<<"$depends" ||
    fail "libcups2 does not come from the binaries' libraries (no version): $depends"
# Label sheets read the label database where it is installed.
grep -q "\bglabels-data\b" <<<"$(dpkg-deb -f "$deb" Recommends)" ||
    fail "the package does not recommend glabels-data"
echo "ok: $(basename "$deb") holds both programs, the desktop entry, the icon, two manual pages and the HTML manual"

root="$work/root"
mkdir "$root"
dpkg -x "$deb" "$root" || fail "dpkg -x failed"
chown -R root:root "$root"
chmod -R go-w "$root"
chmod 755 "$root"
validation=$(desktop-file-validate "$root/usr/share/applications/marlisk.desktop" 2>&1)
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
echo "ok: the desktop entry validates without hints"

# --- An X server for the window, without a window manager.
start_xserver

home=""
as_nobody() { # command... ; with the fresh HOME and the X display
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -i HOME="$home" DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb PATH=/usr/bin:/bin \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}" LSAN_OPTIONS="${LSAN_OPTIONS:-}" \
        UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" "$@"
}

window=""
start_app() { # path to marlisk
    as_nobody "$1" >>"$work/app.log" 2>&1 &
    app_pid=$!
    window=$(wait_for_window '^Marlisk Barcode Generator') || fail "the main window did not appear"
    xdotool windowfocus "$window" 2>/dev/null
    sleep 0.5
}
exit_app() {
    xdotool key --delay 150 alt Left Return
    wait_for_exit
}
wait_for_line() { # file line
    for _ in $(seq 1 50); do
        grep -qx "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "$1 does not hold '$2'"
}
png_size() { # file: "width x height"
    local b
    read -r -a b <<<"$(od -An -tu1 -j16 -N8 "$1")"
    echo "$(((b[0] << 24) + (b[1] << 16) + (b[2] << 8) + b[3])) x $(((b[4] << 24) + (b[5] << 16) + (b[6] << 8) + b[7]))"
}

# UPC-A 03600029145 with top/down 100, left/right 250 and interval 50 mils at 96 dpi.
want_size="254 x 165"

session() { # folder holding marlisk and marlisk-cli; where the file must be: user or beside
    local bin="$1" ini other
    home="$(mktemp -d "$work/home.XXXXXX")"
    chown nobody:nogroup "$home"
    if [ "$2" = user ]; then
        ini="$home/.config/marlisk/BCodeSetting.ini" other="$bin/BCodeSetting.ini"
    else
        ini="$bin/BCodeSetting.ini" other="$home/.config/marlisk/BCodeSetting.ini"
    fi
    start_app "$bin/marlisk"
    # Symbology > UPC-A (fourth item), then Settings > Page setting (second item).
    xdotool key --delay 150 alt Right Down Down Down Down Return
    wait_for_line "$ini" "Checked=Bar Code UPC-A"
    xdotool key --delay 150 alt Down Down Return
    # Without a window manager the new dialog must be given the keyboard by hand.
    local dialog
    dialog=$(wait_for_window '^Page Setting$') || fail "Settings > Page setting did not open the dialog"
    xdotool windowfocus "$dialog" 2>/dev/null
    sleep 0.3
    # The five edits at their places in the dialog, then Save.
    local y value
    for y_value in 22:100 54:100 86:250 118:250 147:50; do
        y=${y_value%%:*} value=${y_value##*:}
        xdotool mousemove --window "$dialog" 210 $((y + 10)) click 1
        xdotool key ctrl+a BackSpace
        xdotool type --delay 40 "$value"
    done
    xdotool mousemove --window "$dialog" 219 212 click 1
    wait_for_line "$ini" "fiwidth=50"
    [ -e "$other" ] && fail "$other was written as well"
    exit_app
    echo "ok: UPC-A and the page values are stored in $ini"

    # Started again: the UPC-A form, with the focus in its first control, and the margins.
    start_app "$bin/marlisk"
    xdotool key --delay 80 Tab Tab ctrl+a BackSpace && xdotool type --delay 40 03600029145
    xdotool key --delay 80 Tab space  # Build/Copy
    local got="" size=""
    for _ in $(seq 1 50); do
        if xclip -selection clipboard -t image/png -o >"$work/clip.png" 2>/dev/null; then
            got=$(zbarimg -q -Supca.enable "$work/clip.png" 2>/dev/null)
            size=$(png_size "$work/clip.png")
            [ "$got" = "UPC-A:036000291452" ] && [ "$size" = "$want_size" ] && break
        fi
        sleep 0.2
    done
    [ "$got" = "UPC-A:036000291452" ] || fail "after a restart the clipboard decodes to '$got'"
    [ "$size" = "$want_size" ] || fail "after a restart the picture is $size, not $want_size"
    exit_app
    echo "ok: after a restart the UPC-A form and the page values are back"

    as_nobody "$bin/marlisk-cli" upca 03600029145 -o "$home/cli.png" || fail "marlisk-cli failed"
    [ "$(png_size "$home/cli.png")" = "$want_size" ] ||
        fail "marlisk-cli did not read the page values: $(png_size "$home/cli.png")"
    echo "ok: marlisk-cli reads the same file"
}

# Installed: the folder of the programs belongs to root.
session "$root/usr/bin" user
# A portable copy in a folder of its own that the user can write.
portable="$work/portable"
mkdir "$portable"
cp "$root/usr/bin/marlisk" "$root/usr/bin/marlisk-cli" "$portable/"
chown -R nobody:nogroup "$portable"
session "$portable" beside
