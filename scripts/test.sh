#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, runs every test, then fuzzes
# the readers of untrusted bytes for a short while.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" -DTAVIRO_WERROR=ON
build=${BUILD_DIR:-$root/build}
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

# The readers of untrusted bytes are fuzzed for a short while, in a clang build of their
# own beside the main one, starting from good inputs that our own writers make.
fuzz_build=$build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVIRO_FUZZ=ON >/dev/null
cmake --build "$fuzz_build"
seeds=$fuzz_build/seeds
rm -rf "$seeds"
QT_QPA_PLATFORM=offscreen "$build/tools/fuzzseeds" "$seeds"
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
