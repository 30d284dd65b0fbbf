#!/usr/bin/env bash
# A test that reads pictures back with zbarimg must fail when zbarimg is missing, never pass
# or skip quietly: each scan test given runs with a PATH that holds no zbarimg.
#   tests/without_zbarimg.sh TEST_PROGRAM...
set -u
empty="$(mktemp -d "${TMPDIR:-/tmp}/marlisk-nopath.XXXXXX")"
trap 'rm -rf "$empty"' EXIT
status=0
for program in "$@"; do
    name="$(basename "$program")"
    out="$(PATH="$empty" QT_QPA_PLATFORM=offscreen "$program" 2>&1)"
    rc=$?
    if [ "$rc" -eq 0 ]; then
        echo "FAIL: $name passed without zbarimg"
        status=1
    elif grep -q '^SKIP' <<<"$out"; then
        echo "FAIL: $name skipped without zbarimg instead of failing"
        status=1
    elif ! grep -q '^FAIL!.*zbarimg' <<<"$out"; then
        echo "FAIL: $name failed without zbarimg, but not saying so:"
        tail -n 5 <<<"$out"
        status=1
    else
        echo "ok: $name fails without zbarimg"
    fi
done
exit "$status"
