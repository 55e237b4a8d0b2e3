#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Shows the tool in a private X server with a window manager and saves its window, frame and
# all, as docs/screenshot.png.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$top/docs/screenshot.png}"
export VEXALO_BINARY="${VEXALO_BINARY:-$top/build/release/app/vexalo-config}"
[ -x "$VEXALO_BINARY" ] || { echo "build first: $VEXALO_BINARY is missing" >&2; exit 1; }

# The same private desktop the end-to-end tests use.
source "$top/tests/e2e/lib.sh"
start_desktop 640x300x24
install_tool
start_tool
mkdir -p "$(dirname "$out")"
import -window "$WID" -frame "$out"
echo "wrote $out"
