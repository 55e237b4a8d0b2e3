#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Benchmarks vexalo-config in a private Xvfb with openbox: launch to first paint and memory
# against a bare xcb window, zenity and yad, then the latency of Save and Save and Start.
# usage: bench/run.sh [RUNS] [WARMUP]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/deps.sh" --bench
(cd "$top" && cmake --preset release >/dev/null && cmake --build --preset release)

build="$top/build/release"
export VEXALO_BINARY="$build/app/vexalo-config"
source "$top/tests/e2e/lib.sh"
start_desktop 1280x1024x24

echo "Vexalo Configuration benchmark, $(date -u +%Y-%m-%d), $(nproc) cores," \
    "$(free -g | awk '/^Mem:/ {print $2}') GiB, Xvfb 1280x1024x24 + openbox"
# Save and Start through Wine too, where the test build made a Windows renderer.
[ ! -e "$build/tests/windows_renderer.exe" ] ||
    export VEXALO_BENCH_WINDOWS_RENDERER="$build/tests/windows_renderer.exe"
"$build/bench/vexalo-bench" "${1:-10}" "${2:-2}" "$VEXALO_BINARY" \
    "$build/bench/bench-bare-window" "$build/bench/bench-bare-qt-window" \
    "$build/bench/bench-renderer-standin" "$WORK/bench"
