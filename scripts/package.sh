#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what packaging needs, builds the tool and what is shipped beside it (the manual
# page, the changelog) in the release build, and makes the Debian package there, or in DIR:
# vexalo-config_<version>_<arch>.deb.
# usage: scripts/package.sh [DIR]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/deps.sh" build run package
cd "$top"
[ -f build/release/CMakeCache.txt ] || cmake --preset release >/dev/null
cmake --build --preset release --target vexalo-config manpage changelog
out="${1:-$top/build/release}"
cpack --config build/release/CPackConfig.cmake -G DEB -B "$out"
rm -rf "$out/_CPack_Packages"
