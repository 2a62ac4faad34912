#!/usr/bin/env bash
# Builds everything with the address and undefined-behaviour sanitizers in a folder of
# its own (BUILD_DIR + "-sanitize") and runs every test there; then runs each fuzz
# target (clang, libFuzzer, the same sanitizers) for FUZZ_SECONDS (default 20) from the
# good inputs our own writers make. Any finding fails the script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"

sanitize_build=$build-sanitize
BUILD_DIR=$sanitize_build "$root/scripts/build.sh" -DTAVIRO_WERROR=ON -DTAVIRO_SANITIZE=ON \
    -DTAVIRO_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
# LeakSanitizer stops the process in a tracer thread to scan it; now and then that tracer
# itself crashes as a test ends ("LeakSanitizer has encountered a fatal error"), after
# every check has passed. Such a run says nothing about our code, so only the tests that
# failed are run once more, and a real failure fails again.
ctest_log=$sanitize_build/ctest.log
if ! (cd "$sanitize_build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure \
    -j"$(nproc)") 2>&1 | tee "$ctest_log"; then
    grep -q "LeakSanitizer has encountered a fatal error" "$ctest_log" || exit 1
    echo "LeakSanitizer's tracer crashed; running the failed tests again"
    (cd "$sanitize_build" && QT_QPA_PLATFORM=offscreen ctest --rerun-failed --output-on-failure)
fi

# The readers of untrusted bytes are fuzzed for a short while, starting from good inputs
# that our own writers make.
fuzz_build=$build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVIRO_FUZZ=ON >/dev/null
cmake --build "$fuzz_build"
seeds=$fuzz_build/seeds
rm -rf "$seeds"
QT_QPA_PLATFORM=offscreen "$sanitize_build/tools/fuzzseeds" "$seeds"
for target in bitmapblob aviclip connectionstring; do
    corpus=$fuzz_build/corpus/$target
    log=$fuzz_build/fuzz_$target.log
    mkdir -p "$corpus"
    echo "Fuzzing $target for ${FUZZ_SECONDS:-20} s"
    if ! (cd "$fuzz_build" && QT_QPA_PLATFORM=offscreen "fuzz/fuzz_$target" \
        -max_total_time="${FUZZ_SECONDS:-20}" -timeout=10 -rss_limit_mb=2048 \
        "$corpus" "$seeds/$target" >"$log" 2>&1); then
        cat "$log"
        echo "fuzz_$target failed; the input is in $fuzz_build" >&2
        exit 1
    fi
    tail -n 1 "$log"
done
