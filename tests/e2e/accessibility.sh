#!/usr/bin/env bash
# What a screen reader hears: the real window under Xvfb with a window manager, its
# accessibility bridge on (QT_ACCESSIBILITY=1) in a session bus of its own, read through
# AT-SPI (pyatspi). Every form and dialog is opened by keyboard and every focusable control
# in it must have a name in words, none of them a control's name (accessibility.py).
#   tests/e2e/accessibility.sh PATH_TO_MARLISK
set -uo pipefail
app="${1:?usage: $0 PATH_TO_MARLISK}"
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${MARLISK_A11Y_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "FAIL: dbus-run-session is not installed (dbus)"; exit 1; }
    exec env MARLISK_A11Y_BUS=1 dbus-run-session -- "$0" "$@"
fi
work="$(mktemp -d "${TMPDIR:-/tmp}/marlisk-a11y.XXXXXX")"
. "$here/xsession.sh"
need Xvfb openbox xdotool
[ -x /usr/libexec/at-spi-bus-launcher ] || fail "at-spi-bus-launcher is not installed (at-spi2-core)"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "pyatspi is not installed (python3-pyatspi)"

export QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export NO_AT_BRIDGE=0 GTK_A11Y=none
start_xserver with_wm
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
launcher_pid=$!
sleep 1
start_app
MARLISK_PID="$app_pid" /usr/bin/python3 "$here/accessibility.py" || { kill "$launcher_pid" 2>/dev/null; fail "see above"; }
kill "$launcher_pid" 2>/dev/null
