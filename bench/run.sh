#!/usr/bin/env bash
# Builds the program and its benchmarks, runs every benchmark on an X server of its own
# and writes their figures, with baselines and targets, to bench/RESULTS.md. Arguments
# go to the benchmark program (for example --benchmark_filter=DrawPaper).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null

work=$(mktemp -d)
xvfb=
cleanup() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to the pipe; its screen holds the
# window at 200 %.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1920x1440x24 -nolisten tcp -noreset 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r number <"$work/display"
export DISPLAY=":$number"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

commit=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || true)
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no -- . ':!bench/RESULTS.md' 2>/dev/null)" ]; then
    commit="$commit with changes"
fi
"$build/bench/taviro_bench" --results="$root/bench/RESULTS.md" --commit="$commit" "$@"
cat "$root/bench/ANALYSIS.md" >>"$root/bench/RESULTS.md"
echo "Written: $root/bench/RESULTS.md"
