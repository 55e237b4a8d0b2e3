#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what building and running need, builds the tool alone (no tests, no benchmarks) and
# starts it in the current directory, where it writes config.txt.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/deps.sh" build run
(cd "$top" && cmake --preset release >/dev/null && cmake --build --preset release --target vexalo-config)
exec "$top/build/release/app/vexalo-config"
