#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds the release build and starts the tool in the current
# directory, where it writes config.txt.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/deps.sh"
(cd "$top" && cmake --preset release >/dev/null && cmake --build --preset release)
exec "$top/build/release/app/vexalo-config"
