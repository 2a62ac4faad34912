#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors (the benchmarks too, which it
# does not run), runs every test, and builds the fuzz targets with clang; the sanitizer
# build runs them (scripts/sanitize.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" -DTAVIRO_WERROR=ON
build=${BUILD_DIR:-$root/build}
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

# The readers of untrusted bytes, in a clang build of their own beside the main one.
fuzz_build=$build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVIRO_FUZZ=ON >/dev/null
cmake --build "$fuzz_build"
