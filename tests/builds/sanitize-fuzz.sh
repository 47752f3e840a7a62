#!/usr/bin/env bash
# The sanitizer and fuzzing check: one clang tree with AddressSanitizer,
# UndefinedBehaviorSanitizer and the libFuzzer targets, which builds the unit, script and
# end-to-end tests and the fuzz targets, runs its tests under the sanitizers (each fuzz
# target's corpus among them) and then fuzzes each target for a short while from its corpus.
#   sanitize-fuzz.sh SOURCE_DIR BINARY_DIR [SECONDS_PER_TARGET]
set -euo pipefail
source_dir=$1
binary_dir=$2
seconds=${3:-20}

# Mesa's software OpenGL (in the game the end-to-end tests start) frees with the wrong
# function for ASan's liking inside LLVM; stdbuf's preload comes before ASan's runtime; and
# the libraries below us keep some allocations to the end: lsan.supp names them.
export ASAN_OPTIONS=alloc_dealloc_mismatch=0:verify_asan_link_order=0:detect_stack_use_after_return=0
export LSAN_OPTIONS=suppressions=$source_dir/tests/builds/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# -O1 with line tables: what the sanitizers advise, and quicker to build than -O2 -g.
cmake -S "$source_dir" -B "$binary_dir" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS_DEBUG="-O1 -g1" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
    -DCINDRA_SANITIZE=ON -DCINDRA_FUZZ=ON -DCINDRA_WERROR=ON -DCINDRA_BENCH=OFF
# Everything, so that every test CTest knows of has its program; on one core, like the other
# build checks, so the check fits beside them under ctest -j2.
cmake --build "$binary_dir"
echo "== built in ${SECONDS}s"
# The unit and script tests and each fuzz target's corpus, with leak checking; then the
# end-to-end tests without it: Mesa unloads its driver before the leak check runs, so what
# it keeps cannot even be named in lsan.supp. The soak runs are left to the main tree.
# Every phase runs even when one before it failed, so one run reports everything.
status=0
(cd "$binary_dir" && ctest --output-on-failure --timeout 300 -LE e2e -E '^soak') || status=1
(cd "$binary_dir" && ASAN_OPTIONS=$ASAN_OPTIONS:detect_leaks=0 \
    ctest --output-on-failure --timeout 300 -L e2e) || status=1
echo "== tested by ${SECONDS}s"

# Short fuzzing runs, each into a scratch copy of its corpus: the committed seeds stay as they
# are, and a finding is written (as crash-..., leak-..., timeout-...) into the scratch folder.
scratch=$binary_dir/fuzz-runs
rm -rf "$scratch"
mkdir -p "$scratch"
for target in "$binary_dir"/tests/fuzz/*_fuzz; do
    name=$(basename "$target")
    work=$scratch/$name
    mkdir -p "$work/corpus"
    cp -r "$source_dir/tests/fuzz/corpus/$name/." "$work/corpus/" 2>/dev/null || true
    echo "== fuzzing $name for ${seconds}s"
    if ! (cd "$work" && "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 corpus >"$work/log" 2>&1); then
        echo "$name found a problem; its log, $work/log, ends with:"
        tail -n 40 "$work/log"
        status=1
    else
        grep -E "^#[0-9]+.*DONE" "$work/log" || tail -n 3 "$work/log"
    fi
done
echo "== fuzzed by ${SECONDS}s"
exit $status
