#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a scratch prefix and checks what a desktop finds there.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/vexalo-config share/applications/io.github.vexalo.Config.desktop \
    share/icons/hicolor/32x32/apps/vexalo-config.png \
    share/icons/hicolor/scalable/apps/vexalo-config.svg; do
    [ -s "$prefix/$file" ] || { echo "FAIL: $file not installed"; exit 1; }
done
[ -x "$prefix/bin/vexalo-config" ] || { echo "FAIL: vexalo-config not executable"; exit 1; }
desktop-file-validate "$prefix/share/applications/io.github.vexalo.Config.desktop"
grep -qx 'Name=Vexalo Configuration' "$prefix/share/applications/io.github.vexalo.Config.desktop"
grep -qx 'Exec=vexalo-config' "$prefix/share/applications/io.github.vexalo.Config.desktop"
echo "PASS: installed"
