#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Benchmarks vexalo-config in a private Xvfb with openbox: launch to first paint and memory
# against a bare xcb window, zenity and yad, then the latency of Save and Save and Start.
# usage: bench/run.sh [RUNS] [WARMUP]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/deps.sh" build run bench
(cd "$top" && cmake --preset release >/dev/null &&
    cmake --build --preset release --target vexalo-config vexalo-bench bench-bare-window \
        bench-bare-qt-window)

build="$top/build/release"
export VEXALO_BINARY="$build/app/vexalo-config"
source "$top/tests/e2e/lib.sh"
start_desktop 1280x1024x24

echo "Vexalo Configuration benchmark, $(date -u +%Y-%m-%d), $(nproc) cores," \
    "$(free -g | awk '/^Mem:/ {print $2}') GiB, Xvfb 1280x1024x24 + openbox"
"$build/bench/vexalo-bench" "${1:-10}" "${2:-2}" "$VEXALO_BINARY" \
    "$build/bench/bench-bare-window" "$build/bench/bench-bare-qt-window" \
    "$top/tests/renderer_standin.sh" "$WORK/bench"
