#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build folder for a bounded time, two at a time,
# each starting from its committed seeds (copied, so the seeds stay as committed). A crash,
# a sanitizer report, a leak, a hang (one input over 10 s) or running out of memory fails
# the run; the input that did it is kept and its path printed.
#   tests/run_fuzzers.sh BUILD_FUZZ_DIR [SECONDS_EACH]
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:?usage: $0 BUILD_FUZZ_DIR [SECONDS_EACH]}"
seconds="${2:-20}"
work="$(mktemp -d "${TMPDIR:-/tmp}/marlisk-fuzz.XXXXXX")"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$here/tests/sanitizers/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

run_one() {
    local target="$1" bin="$build/fuzz/fuzz_$1"
    mkdir -p "$work/$target"
    if "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$work/$target-" \
        "$work/$target" "$here/fuzz/corpus/$target" >"$work/$target.log" 2>&1; then
        local runs rate
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
        rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/$target.log")
        echo "fuzz $target: ok, $runs runs, $rate per second"
    else
        echo "fuzz $target: FAILED"
        grep -E "ERROR|SUMMARY|expected|runtime error|Test unit written" "$work/$target.log" | head -20
        echo "  whole log: $work/$target.log"
        return 1
    fi
}
export -f run_one
export build seconds work here

targets=()
for bin in "$build"/fuzz/fuzz_*; do
    [ -x "$bin" ] && [ -f "$bin" ] && targets+=("${bin##*/fuzz_}")
done
if [ "${#targets[@]}" -eq 0 ]; then
    echo "no fuzz targets in $build/fuzz" >&2
    exit 1
fi
printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} bash -c 'run_one {}'
status=$?
[ "$status" -eq 0 ] && rm -rf "$work"
exit "$status"
