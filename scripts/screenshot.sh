#!/usr/bin/env bash
# Shows the tool in a private X server with a window manager and saves the screen around its
# window as docs/screenshot.png.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$top/docs/screenshot.png}"
binary="${VEXALO_BINARY:-$top/build/release/app/vexalo-config}"
[ -x "$binary" ] || { echo "build first: $binary is missing" >&2; exit 1; }

work="$(mktemp -d)"
export XDG_RUNTIME_DIR="$work"
pids=()
# The tool first, the X server last, so no client sees its server vanish.
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 640x300x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(tr -d '\n' <"$work/display")"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
# A window mapped while the window manager is still starting may never be managed.
for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
(cd "$work" && exec "$binary") &
pids+=($!)
wid="$(timeout 20 xdotool search --sync --onlyvisible --name '^Vexalo Configuration$' | head -1)"
# Let the window manager place and decorate the window before the picture is taken.
for _ in $(seq 100); do
    xprop -id "$wid" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '=' && break
    sleep 0.05
done
mkdir -p "$(dirname "$out")"
import -window "$wid" -frame "$out"
echo "wrote $out"
