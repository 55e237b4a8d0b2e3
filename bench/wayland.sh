#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Benchmarks vexalo-config as a native Wayland client of headless weston, GNOME's mutter (also
# as on a GNOME desktop, XDG_CURRENT_DESKTOP=GNOME: Qt loads its GTK theme) and sway: launch to
# first paint, the first buffer's size (a lost title bar shows there) and peak memory by then,
# against a bare Qt window, yad and zenity.
# usage: bench/wayland.sh [ROUNDS]     (bench/run.sh --wayland builds first, then runs this)
#   VEXALO_BUILD  the build whose install is measured, and whose bare Qt window is the floor
#                 (default: build/release)
#   VEXALO_PREFIX an install to measure instead (of an older commit, say)
#   VEXALO_ENV    NAME=value words for the tool alone, e.g.
#                 VEXALO_ENV=QT_WAYLAND_CLIENT_BUFFER_INTEGRATION=wayland-egl
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/.." && pwd)"
rounds="${1:-10}"
export VEXALO_BUILD="${VEXALO_BUILD:-$top/build/release}"
for p in weston mutter sway yad zenity; do
    command -v "$p" >/dev/null || { echo "no $p: run scripts/deps.sh bench" >&2; exit 1; }; done

# The tool as installed, so that it finds its private files beside it. Compositors are a
# user's, not root's: as root, install and stage what the run needs where an unprivileged user
# can read it, and run as that user.
if [ "$(id -u)" -eq 0 ]; then
    stage="$(mktemp -d)"
    trap 'rm -rf "$stage"' EXIT
    mkdir -p "$stage/bench" "$stage/tests/e2e"
    if [ -n "${VEXALO_PREFIX:-}" ]; then cp -a "$VEXALO_PREFIX" "$stage/prefix"
    else cmake --install "$VEXALO_BUILD" --prefix "$stage/prefix" >/dev/null; fi
    cp "$VEXALO_BUILD/bench/bench-bare-qt-window" "$stage/"
    cp "$here/wayland.sh" "$stage/bench/"
    cp "$top/tests/e2e/lib.sh" "$stage/tests/e2e/"
    chown -R nobody:nogroup "$stage"
    chmod 755 "$stage"
    status=0
    setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$stage" \
        VEXALO_PREFIX="$stage/prefix" BARE_QT_WINDOW="$stage/bench-bare-qt-window" \
        VEXALO_ENV="${VEXALO_ENV:-}" bash "$stage/bench/wayland.sh" "$rounds" || status=$?
    exit "$status"
fi

unset DISPLAY WAYLAND_DISPLAY SWAYSOCK XDG_CURRENT_DESKTOP DBUS_SESSION_BUS_ADDRESS
# lib.sh wants the tool's name: the installed one, set below.
export VEXALO_BINARY=vexalo-config
source "$top/tests/e2e/lib.sh"
if [ -z "${VEXALO_PREFIX:-}" ]; then
    VEXALO_PREFIX="$WORK/prefix"
    cmake --install "$VEXALO_BUILD" --prefix "$VEXALO_PREFIX" >/dev/null
fi
BARE_QT_WINDOW="${BARE_QT_WINDOW:-$VEXALO_BUILD/bench/bench-bare-qt-window}"
VEXALO_BINARY="$VEXALO_PREFIX/bin/vexalo-config"
read -ra tool_env <<<"${VEXALO_ENV:-}"
names=(vexalo-config bench-bare-qt-window yad zenity)
mkdir "$WORK/scratch"
: >"$WORK/results"

# Compositor $1: weston, mutter, mutter-gnome (mutter, every candidate as on a GNOME desktop)
# or sway.
start_compositor() {
    case "$1" in
    mutter-gnome) start_mutter; export XDG_CURRENT_DESKTOP=GNOME ;;
    *) "start_$1" ;;
    esac
}

stop_compositor() {
    # The session bus forked away from this shell: it is killed, not waited for.
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        kill "${PIDS[i]}"; wait "${PIDS[i]}" 2>/dev/null || true
    done
    PIDS=()
    unset XDG_CURRENT_DESKTOP DBUS_SESSION_BUS_ADDRESS
}

# Starts candidate $1 in the scratch directory, stamping the moment before exec on the clock
# libwayland stamps its debug lines with.
launch() {
    rm -f "$WORK/launched" "$WORK/client.log"
    (
        cd "$WORK/scratch"
        export WAYLAND_DEBUG=client
        case "$1" in
        vexalo-config) export QT_QPA_PLATFORM=wayland "${tool_env[@]}"; set -- "$VEXALO_BINARY" ;;
        bench-bare-qt-window) export QT_QPA_PLATFORM=wayland; set -- "$BARE_QT_WINDOW" ;;
        yad) export GDK_BACKEND=wayland; set -- yad --text=x ;;
        zenity) export GDK_BACKEND=wayland; set -- zenity --info --text=x ;;
        esac
        echo "${EPOCHREALTIME/[.,]/}" >"$WORK/launched"
        exec "$@"
    ) 2>"$WORK/client.log" &
    TOOL_PID=$!
}

painted() {
    kill -0 "$TOOL_PID" 2>/dev/null || fail "the client ended: $(tail -5 "$WORK/client.log")"
    [ -s "$WORK/launched" ] && read -r paint_ms size < <(first_buffer "$WORK/client.log" \
        "$(cat "$WORK/launched")") && [ -n "$paint_ms" ]
}

# One launch of candidate $2 on compositor $1: first paint, and VmHWM in MiB once it is seen.
measure() {
    local key value hwm=""
    launch "$2"
    wait_for 30 painted || fail "$2 did not paint on $1: $(tail -5 "$WORK/client.log")"
    while read -r key value _; do [ "$key" != VmHWM: ] || hwm="$value"; done \
        </proc/"$TOOL_PID"/status
    kill "$TOOL_PID"; wait "$TOOL_PID" || true; TOOL_PID=""
    awk -v ms="$paint_ms" 'BEGIN { exit !(ms > 0 && ms < 60000) }' ||
        fail "$2 on $1: first paint $paint_ms ms, the clocks do not agree"
    echo "$1 $2 $paint_ms $((hwm / 1024)).$((hwm % 1024 * 10 / 1024)) $size" >>"$WORK/results"
}

# The table of compositor $1: medians, the range of first paint, the first buffer's size (the
# last round's), and the tool's medians over each other candidate's. The rows come in twice,
# sorted by first paint, then by memory.
report() {
    local theme=""
    [ "$1" != mutter-gnome ] || theme=", XDG_CURRENT_DESKTOP=GNOME"
    echo "$("${1%-gnome}" --version 2>&1 | head -1)$theme, headless, $rounds rounds"
    printf '  %-22s %26s %9s %9s   %s\n' "" "first paint ms (min–max)" "buffer" "peak MiB" \
        "tool ÷ this: ms, MiB"
    awk -v c="$1" -v order="${names[*]}" '
        function median(v, x, n) { return (v[x, int((n + 1) / 2)] + v[x, int(n / 2) + 1]) / 2 }
        $1 != c { next }
        FNR == NR { ms[$2, ++runs[$2]] = $3; size[$2] = $5; next }
        { mib[$2, ++seen[$2]] = $4 }
        END {
            k = split(order, name, " ")
            for (i = 1; i <= k; i++) {
                x = name[i]; n = runs[x]; p[x] = median(ms, x, n); m[x] = median(mib, x, n)
                printf "  %-22s %10.0f (%5.0f–%5.0f) %9s %9.1f", x, p[x], ms[x, 1], ms[x, n],
                    size[x], m[x]
                if (i > 1) printf "   %5.2f, %5.2f", p[name[1]] / p[x], m[name[1]] / m[x]
                printf "\n"
            }
        }' <(LC_ALL=C sort -k3,3n "$WORK/results") <(LC_ALL=C sort -k4,4n "$WORK/results")
}

echo "Vexalo Configuration on Wayland, $(date -u +%Y-%m-%d), $(nproc) cores," \
    "$(free -g | awk '/^Mem:/ {print $2}') GiB${VEXALO_ENV:+; the tool with $VEXALO_ENV}"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for compositor in weston mutter mutter-gnome sway; do
    start_compositor "$compositor"
    for ((round = 1; round <= rounds; round++)); do
        for name in "${names[@]}"; do measure "$compositor" "$name"; done
    done
    stop_compositor
    report "$compositor"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
