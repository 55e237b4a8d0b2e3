#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Benchmarks vexalo-config in a private Xvfb with openbox: launch to first paint and memory
# against a bare xcb window, zenity and yad, then the latency of Save and Save and Start.
# usage: bench/run.sh [--gnome | --wayland] [RUNS] [WARMUP]
#   --gnome    every candidate runs as on a GNOME desktop: XDG_CURRENT_DESKTOP=GNOME (Qt then
#              loads its GTK theme), a session bus, and a settings manager (xsettingsd)
#              publishing GNOME's font and theme
#   --wayland  instead, launch to first paint, first buffer and memory as native Wayland
#              clients of headless weston, GNOME's mutter (also as on a GNOME desktop) and sway
#              (bench/wayland.sh, RUNS rounds, of the build's install)
set -euo pipefail
gnome=false
wayland=false
case "${1:-}" in
--gnome) gnome=true; shift ;;
--wayland) wayland=true; shift ;;
esac
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/deps.sh" build run bench
(cd "$top" && cmake --preset release >/dev/null &&
    cmake --build --preset release --target vexalo-config vexalo-bench bench-bare-window \
        bench-bare-qt-window manpage changelog)

build="$top/build/release"
! $wayland || exec "$top/bench/wayland.sh" "${1:-10}"
export VEXALO_BINARY="$build/app/vexalo-config"
source "$top/tests/e2e/lib.sh"
start_desktop 1280x1024x24
bus=()
if $gnome; then
    export XDG_CURRENT_DESKTOP=GNOME
    bus=(dbus-run-session --)
    start_settings_manager 'Gtk/FontName "Cantarell 11"' 'Net/ThemeName "Adwaita"'
fi

echo "Vexalo Configuration benchmark, $(date -u +%Y-%m-%d), $(nproc) cores," \
    "$(free -g | awk '/^Mem:/ {print $2}') GiB, Xvfb 1280x1024x24 + openbox" \
    "$($gnome && echo "+ session bus, xsettingsd, XDG_CURRENT_DESKTOP=GNOME")"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
# Save and Start through Wine too, where the test build made a Windows renderer and Wine is
# installed (some releases lack it for a while).
if [ -e "$build/tests/windows_renderer.exe" ]; then
    if command -v wine >/dev/null; then
        export VEXALO_BENCH_WINDOWS_RENDERER="$build/tests/windows_renderer.exe"
    else
        echo "Wine is not installed: no Save and Start round through Wine"
    fi
fi
"${bus[@]}" "$build/bench/vexalo-bench" "${1:-10}" "${2:-2}" "$VEXALO_BINARY" \
    "$build/bench/bench-bare-window" "$build/bench/bench-bare-qt-window" \
    "$top/tests/renderer_standin.sh" "$WORK/bench"
