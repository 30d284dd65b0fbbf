#!/usr/bin/env bash
# Start to a visible window: marlisk against Zint Barcode Studio (zint-qt), in turn under
# one Xvfb, each window looked for every 15 ms. Prints each start in milliseconds, then
# the medians and their ratio.
#   bench/startup.sh MARLISK [ROUNDS]
set -euo pipefail
marlisk="$1"
rounds="${2:-10}"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY="$display"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

# Milliseconds from the start of the command to its first visible window, its peak
# resident memory then (KiB), and the CPU time its threads had spent by then (ms; less
# disturbed by the rest of the machine than the wall time).
start_ms() {
    local t0 pid
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
        if ! kill -0 "$pid" 2>/dev/null || [ $(($(date +%s%N) - t0)) -gt 20000000000 ]; then
            echo "$1: no window within 20 s" >&2
            kill "$pid" 2>/dev/null || true
            return 1
        fi
        sleep 0.015
    done
    echo $((($(date +%s%N) - t0) / 1000000)) "$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")" \
        "$(cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{ns += $1} END {print int(ns / 1e6)}')"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

ours=() peer=() oursKb=() peerKb=() oursCpu=() peerCpu=()
for round in $(seq "$rounds"); do
    # A start that shows no window is told and leaves the round out.
    a=$(start_ms "$marlisk") || continue
    b=$(start_ms zint-qt) || continue
    read -r ms kb cpu <<<"$a"
    ours+=("$ms") oursKb+=("$kb") oursCpu+=("$cpu")
    read -r ms kb cpu <<<"$b"
    peer+=("$ms") peerKb+=("$kb") peerCpu+=("$cpu")
    echo "round $round: marlisk ${ours[-1]} ms (CPU ${oursCpu[-1]} ms)," \
        "Zint Barcode Studio ${peer[-1]} ms (CPU ${peerCpu[-1]} ms)"
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
m=$(median "${ours[@]}") z=$(median "${peer[@]}")
echo "start to a visible window, median of $rounds: marlisk $m ms, Zint Barcode Studio $z ms (ratio $(awk "BEGIN {printf \"%.2f\", $m / $z}"))"
c=$(median "${oursCpu[@]}") y=$(median "${peerCpu[@]}")
echo "CPU time to a visible window, median: marlisk $c ms, Zint Barcode Studio $y ms (ratio $(awk "BEGIN {printf \"%.2f\", $c / $y}"))"
echo "peak resident memory with the window shown: marlisk $(median "${oursKb[@]}") KiB, Zint Barcode Studio $(median "${peerKb[@]}") KiB"
