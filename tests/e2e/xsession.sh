# Shared by the end-to-end scripts that drive the real window: a private X server with a
# window manager, the program started in a fresh folder, and cleanup. Source it after
# setting `work` (a fresh folder) and `app` (the program); it defines fail, start_xserver,
# start_app (sets app_pid and window), wait_for_window and wait_for_exit.

xvfb_pid="" wm_pid="" app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
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
need() { # tools...: a missing oracle or service fails the test
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || fail "$tool is not installed (see setup.sh's test packages)"
    done
}

start_xserver() { # [with_wm]
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(cat "$work/display")"
    unset WAYLAND_DISPLAY
    if [ "${1:-}" = with_wm ]; then
        openbox --sm-disable >"$work/openbox.log" 2>&1 &
        wm_pid=$!
        sleep 1
    fi
}

wait_for_window() { # title regex; prints the window id
    local w=""
    for _ in $(seq 1 300); do
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

start_app() {
    cp "$app" "$work/marlisk"
    "$work/marlisk" >>"$work/app.log" 2>&1 &
    app_pid=$!
    window=$(wait_for_window '^Marlisk Barcode Generator') || fail "the main window did not appear"
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
    sleep 1
}

wait_for_exit() {
    for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app_pid" 2>/dev/null && fail "the program did not end"
    wait "$app_pid"
    local status=$?
    app_pid=""
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}
