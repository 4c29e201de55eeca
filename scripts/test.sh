#!/usr/bin/env bash
# Builds Крамбол (installing what is missing) and runs the whole test suite offscreen, twice:
# a plain build, then one under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export QT_QPA_PLATFORM=offscreen

echo "== plain build"
"$here/scripts/setup.sh" "$here/build"
ctest --test-dir "$here/build" --output-on-failure -j"$(nproc)"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
"$here/scripts/setup.sh" "$here/build-asan" -DKRAMBOL_SANITIZE=ON
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$here/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$here/build-asan" --output-on-failure -j"$(nproc)"

echo "== short fuzzing round (scripts/fuzz.sh SECONDS for a longer one)"
bash "$here/scripts/fuzz.sh" 20
