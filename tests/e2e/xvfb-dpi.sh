#!/usr/bin/env bash
# Runs a program on an X server of its own set up as a desktop of DPI dots per inch: Xvfb
# with that resolution and the Xft.dpi resource that desktops set and Qt reads.
#   tests/e2e/xvfb-dpi.sh DPI PROGRAM [ARGS...]
# Fails (status 1) when Xvfb or xprop is missing: the resolution cannot be tested without.
set -uo pipefail
dpi="${1:?usage: $0 DPI PROGRAM [ARGS...]}"
shift

for tool in Xvfb xprop; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "FAIL: $tool is not installed (Debian: xvfb, x11-utils)"
        exit 1
    fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/marlisk-dpi.XXXXXX")"
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi "$dpi" -nolisten tcp -noreset \
    3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
if [ ! -s "$work/display" ]; then
    echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")"
    exit 1
fi
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY QT_SCALE_FACTOR QT_FONT_DPI
xprop -root -format RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$dpi
" || { echo "FAIL: could not set Xft.dpi"; exit 1; }

"$@"
