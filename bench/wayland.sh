#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Benchmarks vexalo-config as a native Wayland client of headless weston and of headless sway:
# launch to first paint and peak memory by then, against a bare Qt window, yad and zenity.
# usage: bench/wayland.sh [ROUNDS]     (bench/run.sh --wayland builds first, then runs this)
#   VEXALO_BINARY, BARE_QT_WINDOW  the programs measured (default: build/release's)
#   VEXALO_ENV                     NAME=value words for the tool alone, e.g.
#                                  VEXALO_ENV=QT_WAYLAND_CLIENT_BUFFER_INTEGRATION=none
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
top="$(cd "$here/.." && pwd)"
rounds="${1:-10}"
export VEXALO_BINARY="${VEXALO_BINARY:-$top/build/release/app/vexalo-config}"
export BARE_QT_WINDOW="${BARE_QT_WINDOW:-$top/build/release/bench/bench-bare-qt-window}"
for p in weston sway yad zenity; do
    command -v "$p" >/dev/null || { echo "no $p: run scripts/deps.sh bench" >&2; exit 1; }; done

# Compositors are a user's, not root's (sway refuses root): as root, stage what the run needs
# where an unprivileged user can read it, and run as that user.
if [ "$(id -u)" -eq 0 ]; then
    stage="$(mktemp -d)"
    trap 'rm -rf "$stage"' EXIT
    mkdir -p "$stage/bench" "$stage/tests/e2e"
    cp "$VEXALO_BINARY" "$stage/vexalo-config"
    cp "$BARE_QT_WINDOW" "$stage/bench-bare-qt-window"
    cp "$here/wayland.sh" "$stage/bench/"
    cp "$top/tests/e2e/lib.sh" "$stage/tests/e2e/"
    chown -R nobody:nogroup "$stage"
    chmod 755 "$stage"
    status=0
    setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$stage" \
        VEXALO_BINARY="$stage/vexalo-config" BARE_QT_WINDOW="$stage/bench-bare-qt-window" \
        bash "$stage/bench/wayland.sh" "$rounds" || status=$?
    exit "$status"
fi

unset DISPLAY WAYLAND_DISPLAY SWAYSOCK
source "$top/tests/e2e/lib.sh"
read -ra tool_env <<<"${VEXALO_ENV:-}"
names=(vexalo-config bench-bare-qt-window yad zenity)
mkdir "$WORK/scratch"
: >"$WORK/results"

start_compositor() {
    if [ "$1" = weston ]; then
        weston --backend=headless-backend.so --socket=wayland-bench --idle-time=0 \
            >"$WORK/compositor.log" 2>&1 &
    else
        : >"$WORK/sway.config"
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
            sway -c "$WORK/sway.config" >"$WORK/compositor.log" 2>&1 &
    fi
    PIDS=($!)
    # sway opens its IPC socket once it has read its configuration and is ready for clients.
    local ready=wayland-bench
    [ "$1" = weston ] || ready='sway-ipc.*.sock'
    wait_for 20 sh -c "ls \"\$XDG_RUNTIME_DIR\"/$ready >/dev/null 2>&1" ||
        fail "$1 did not start: $(cat "$WORK/compositor.log")"
    WAYLAND_DISPLAY="$(cd "$XDG_RUNTIME_DIR" && ls wayland-* | grep -v lock | head -1)"
    export WAYLAND_DISPLAY
}

stop_compositor() { kill "${PIDS[0]}"; wait "${PIDS[0]}" || true; PIDS=(); }

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

# Milliseconds from launch to the first commit of a buffer on a surface whose configure was
# acked. libwayland stamps each line "[ms.µs]" from CLOCK_REALTIME's microseconds cut to 32
# bits, so the launch is cut the same way and the difference taken modulo 2^32.
first_paint() {
    awk -v t0="$(($(cat "$WORK/launched") % 4294967296))" '
        $2 != "->" { next }
        { split($3, call, /[.(]/) }
        call[2] == "get_xdg_surface" { gsub(/[,)]/, ""); surface[$5] = $6 }
        call[2] == "ack_configure" { acked[surface[call[1]]] = 1 }
        call[2] == "attach" { buffer[call[1]] = $3 !~ /\(nil,$/ }
        call[2] == "commit" && acked[call[1]] && buffer[call[1]] {
            d = int(substr($1, 2, length($1) - 2) * 1000 + 0.5) - t0
            printf "%.1f\n", (d < 0 ? d + 4294967296 : d) / 1000; exit
        }
        call[2] == "commit" { buffer[call[1]] = 0 }' "$WORK/client.log"
}

painted() {
    kill -0 "$TOOL_PID" 2>/dev/null || fail "the client ended: $(tail -5 "$WORK/client.log")"
    [ -s "$WORK/launched" ] && paint_ms="$(first_paint)" && [ -n "$paint_ms" ]
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
    echo "$1 $2 $paint_ms $((hwm / 1024)).$((hwm % 1024 * 10 / 1024))" >>"$WORK/results"
}

# The table of compositor $1: medians, the range of first paint, and the tool's medians over
# each other candidate's. The rows come in twice, sorted by first paint, then by memory.
report() {
    echo "$("$1" --version 2>&1 | head -1), headless, $rounds rounds"
    printf '  %-22s %26s %9s   %s\n' "" "first paint ms (min–max)" "peak MiB" \
        "tool ÷ this: ms, MiB"
    awk -v c="$1" -v order="${names[*]}" '
        function median(v, x, n) { return (v[x, int((n + 1) / 2)] + v[x, int(n / 2) + 1]) / 2 }
        $1 != c { next }
        FNR == NR { ms[$2, ++runs[$2]] = $3; next }
        { mib[$2, ++seen[$2]] = $4 }
        END {
            k = split(order, name, " ")
            for (i = 1; i <= k; i++) {
                x = name[i]; n = runs[x]; p[x] = median(ms, x, n); m[x] = median(mib, x, n)
                printf "  %-22s %10.0f (%5.0f–%5.0f) %9.1f", x, p[x], ms[x, 1], ms[x, n], m[x]
                if (i > 1) printf "   %5.2f, %5.2f", p[name[1]] / p[x], m[name[1]] / m[x]
                printf "\n"
            }
        }' <(LC_ALL=C sort -k3,3n "$WORK/results") <(LC_ALL=C sort -k4,4n "$WORK/results")
}

echo "Vexalo Configuration on Wayland, $(date -u +%Y-%m-%d), $(nproc) cores," \
    "$(free -g | awk '/^Mem:/ {print $2}') GiB${VEXALO_ENV:+; the tool with $VEXALO_ENV}"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for compositor in weston sway; do
    start_compositor "$compositor"
    for ((round = 1; round <= rounds; round++)); do
        for name in "${names[@]}"; do measure "$compositor" "$name"; done
    done
    stop_compositor
    report "$compositor"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
