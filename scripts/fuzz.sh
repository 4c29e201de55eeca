#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang and runs each for a while on its seed corpus.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]     (default 60; the test command runs a short round)
# Findings land in fuzz-out/<target>/; the seed corpora in fuzz/corpus/<target>/ are never written.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
targets=()
for t in fuzz_rtf_reader fuzz_pointer_picture fuzz_text_lines; do
    [[ -f "$here/fuzz/$t.cpp" ]] && targets+=("$t")
done

CC=clang CXX=clang++ "$here/scripts/setup.sh" "$here/build-fuzz" -DKRAMBOL_FUZZ=ON -DKRAMBOL_TESTS=OFF \
    -DCMAKE_CXX_COMPILER=clang++ --target "${targets[@]}"
export QT_QPA_PLATFORM=offscreen
# intercept_tls_get_addr=0: clang 14's runtime misreads some dynamic thread-local blocks and its
# leak check then crashes; see scripts/test.sh.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0
export LSAN_OPTIONS=suppressions=$here/tests/lsan.supp:print_suppressions=0
for t in "${targets[@]}"; do
    out="$here/fuzz-out/$t"
    mkdir -p "$out/corpus"
    echo "== $t for ${seconds}s"
    "$here/build-fuzz/fuzz/$t" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$out/" -print_final_stats=1 "$out/corpus" "$here/fuzz/corpus/$t" 2>&1 | tail -n 12
done
