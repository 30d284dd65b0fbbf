#!/usr/bin/env bash
# The whole test run after the normal build: every fuzz target for a bounded time
# (build-fuzz, clang), the test suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan), then the plain test suite, whose ctest summary
# ends the run. Runs every stage, fails if any failed.
#   tests/run_all.sh            (called by ./setup.sh test)
# MARLISK_SKIP_ASAN=1 / MARLISK_SKIP_FUZZ=1 leave a stage out for a quick local run.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
failed=()
stage() { echo; echo "== $* ($(date +%T))"; }

export QT_QPA_PLATFORM=offscreen
"$here/tests/services.sh" start || true

# Sanitizer settings shared by the checked builds. Leaks inside system libraries are
# suppressed by name in tests/sanitizers/lsan.supp; everything else is an error.
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The suppressions are read by every checked program, also those the tests start as another
# user (`nobody`), who may not reach into this clone (a clone in /root): a readable copy.
suppressions="$(mktemp "${TMPDIR:-/tmp}/marlisk-lsan.XXXXXX")"
trap 'rm -f "$suppressions"' EXIT
cp "$here/tests/sanitizers/lsan.supp" "$suppressions" && chmod 644 "$suppressions"
export LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0"
checked_flags=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")
# The compiler cache ./setup.sh chose, if any.
[ -n "${MARLISK_LAUNCHER:-}" ] && checked_flags+=("$MARLISK_LAUNCHER")

stage "formatting (.clang-format)"
unformatted=$(cd "$here" && git ls-files '*.cpp' '*.h' | xargs -r clang-format --dry-run 2>&1 |
    grep -oE '^[^ :]+\.(cpp|h):[0-9]+:[0-9]+: (warning|error)' | cut -d: -f1 | sort -u)
if [ -n "$unformatted" ]; then
    echo "these files differ from .clang-format (clang-format -i FILE):"
    echo "$unformatted" | sed 's/^/  /'
    failed+=("formatting")
fi

if [ "${MARLISK_SKIP_FUZZ:-0}" != 1 ]; then
    stage "fuzz targets (build-fuzz)"
    if cmake -S "$here" -B "$here/build-fuzz" "${checked_flags[@]}" -DMARLISK_FUZZ=ON \
        -DCMAKE_CXX_COMPILER=clang++ >/dev/null &&
        cmake --build "$here/build-fuzz" --target fuzz_all -j "$jobs"; then
        "$here/tests/run_fuzzers.sh" "$here/build-fuzz" "${MARLISK_FUZZ_SECONDS:-20}" || failed+=("fuzzing")
    else
        failed+=("fuzz build")
    fi
fi

if [ "${MARLISK_SKIP_ASAN:-0}" != 1 ]; then
    stage "test suite under ASan and UBSan (build-asan)"
    if cmake -S "$here" -B "$here/build-asan" "${checked_flags[@]}" -DMARLISK_SANITIZE=ON >/dev/null &&
        cmake --build "$here/build-asan" -j "$jobs"; then
        ctest --test-dir "$here/build-asan" --output-on-failure -j "$jobs" || failed+=("sanitizer test suite")
    else
        failed+=("sanitizer build")
    fi
fi

# The plain suite comes last, so that a run ends with its summary.
if [ "${#failed[@]}" -gt 0 ]; then
    echo
    echo "FAILED before the plain suite: ${failed[*]}"
fi
stage "test suite"
ctest --test-dir "$here/build" --output-on-failure -j "$jobs" || failed+=("test suite")
[ "${#failed[@]}" -eq 0 ]
