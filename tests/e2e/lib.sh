# SPDX-License-Identifier: MIT
# Shared by the end-to-end cases: a private X server with a window manager, the real tool
# started in a scratch directory, and xdotool to drive it as a user would.
set -euo pipefail

: "${VEXALO_BINARY:?set VEXALO_BINARY to the built vexalo-config}"
# Reports compared word for word are the untranslated ones, whatever the caller's locale.
export LANG=C.UTF-8
unset LC_ALL LC_MESSAGES LANGUAGE
WORK="$(mktemp -d)"
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
PIDS=()
TOOL_PID=""

fail() { echo "FAIL: $*" >&2; exit 1; }
# ctest counts this status as a skip (SKIP_RETURN_CODE in tests/CMakeLists.txt).
skip() { echo "SKIP: $*"; exit 77; }

# Polls a command until it succeeds or the deadline (seconds) passes.
wait_for() {
    local seconds="$1"; shift
    local end=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.02
    done
}

cleanup() {
    local status=$?
    [ -n "$TOOL_PID" ] && kill "$TOOL_PID" 2>/dev/null || true
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        { kill "${PIDS[i]}" && wait "${PIDS[i]}"; } 2>/dev/null || true
    done
    mountpoint -q "$WORK/run" 2>/dev/null && umount "$WORK/run"
    rm -rf "$WORK"
    exit "$status"
}
trap cleanup EXIT

# Starts Xvfb with one screen of $1 (e.g. 800x600x24) and openbox on it; $2, if given, is
# the desktop's font DPI (Xft.dpi), from which Qt scales.
start_desktop() {
    start_xvfb "$1" "$WORK/display"
    start_window_manager Xvfb "${2:-}"
}

# Starts a bare Xvfb with one screen of $1; its display number lands in file $2.
start_xvfb() { Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$2" >/dev/null 2>&1 & PIDS+=($!); }

# Starts Xorg with the dummy driver, whose outputs RandR can light and arrange like several
# monitors (needs root), and openbox on it.
start_dummy_desktop() {
    mkdir -p "$WORK/xorg.d"
    Xorg -config "$here/../dummy-xorg.conf" -configdir "$WORK/xorg.d" -logfile "$WORK/xorg.log" \
        -novtswitch -sharevts -displayfd 3 -nolisten tcp -noreset 3>"$WORK/display.xorg" >/dev/null 2>&1 &
    PIDS+=($!)
    start_window_manager Xorg "" "$WORK/display.xorg"
}

# Waits for server $1 to write its number into $3 (default $WORK/display), sets DISPLAY, the
# font DPI $2 if given, and starts openbox there.
start_window_manager() {
    local file="${3:-$WORK/display}"
    wait_for 20 test -s "$file" || fail "$1 did not start"
    export DISPLAY=":$(tr -d '\n' <"$file")"
    [ -z "${2:-}" ] || echo "Xft.dpi: $2" | xrdb -merge
    openbox --sm-disable >/dev/null 2>&1 &
    PIDS+=($!)
    # A window mapped while the window manager is still starting may never be managed.
    wait_for 20 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
        fail "openbox did not start"
}

start_session_bus() {
    dbus-daemon --session --fork --print-address=1 --print-pid=3 \
        3>"$WORK/bus.pid" >"$WORK/bus.address"
    export DBUS_SESSION_BUS_ADDRESS="$(head -1 "$WORK/bus.address")"
    PIDS+=("$(cat "$WORK/bus.pid")")
}

# Starts xsettingsd, a settings manager as GNOME, Xfce or MATE runs one, publishing the
# settings given, one a word (e.g. 'Gtk/FontName "Cantarell 11"'), and waits until it owns
# the screen's settings.
start_settings_manager() {
    printf '%s\n' "$@" >"$WORK/xsettingsd.conf"
    xsettingsd -c "$WORK/xsettingsd.conf" 2>"$WORK/xsettingsd.log" &
    PIDS+=($!)
    wait_for 10 grep -q 'Took ownership' "$WORK/xsettingsd.log" || fail "xsettingsd did not start"
}

# Starts a session bus and turns accessibility on, as a screen reader does when it starts.
start_screen_reader_session() {
    start_session_bus
    wait_for 20 dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true >/dev/null || fail "the accessibility bus did not start"
}

# Headless Wayland compositors, as a user's (sway refuses root); each sets WAYLAND_DISPLAY.
# weston and GNOME's mutter leave the title bar to the client, sway draws it.
socket_ready() { [ -S "$XDG_RUNTIME_DIR/$1" ]; }

start_weston() {
    weston --backend=headless-backend.so --socket=wayland-vexalo --idle-time=0 \
        >"$WORK/compositor.log" 2>&1 &
    PIDS+=($!)
    wait_for 20 socket_ready wayland-vexalo || fail "weston did not start: $(cat "$WORK/compositor.log")"
    export WAYLAND_DISPLAY=wayland-vexalo
}

# $1, if given, is sway's configuration.
start_sway() {
    echo "${1:-}" >"$WORK/sway.config"
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$WORK/sway.config" >"$WORK/compositor.log" 2>&1 &
    PIDS+=($!)
    # sway opens its IPC socket once it has read its configuration and is ready for clients.
    wait_for 20 sh -c 'ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock >/dev/null 2>&1' ||
        fail "sway did not start: $(cat "$WORK/compositor.log")"
    SWAYSOCK="$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)"
    WAYLAND_DISPLAY="$(cd "$XDG_RUNTIME_DIR" && ls wayland-* | grep -v lock | head -1)"
    export SWAYSOCK WAYLAND_DISPLAY
}

# mutter, as GNOME runs it, wants a session bus: it gets one of its own.
start_mutter() {
    start_session_bus
    mutter --headless --wayland --no-x11 --virtual-monitor 1280x1024 \
        --wayland-display=wayland-vexalo >"$WORK/compositor.log" 2>&1 &
    PIDS+=($!)
    wait_for 20 socket_ready wayland-vexalo || fail "mutter did not start: $(cat "$WORK/compositor.log")"
    export WAYLAND_DISPLAY=wayland-vexalo
}

# Installs the tool as $WORK/install/vexalo-config, so a renderer can be put beside it.
install_tool() {
    mkdir -p "$WORK/install" "$WORK/run"
    cp "$VEXALO_BINARY" "$WORK/install/vexalo-config"
}

# The stand-in renderer (tests/renderer_standin.sh): records what it was given, then stays
# running like a real one.
install_renderer() {
    cp "$(dirname "${BASH_SOURCE[0]}")/../renderer_standin.sh" "$WORK/install/opengl.exe"
    chmod +x "$WORK/install/opengl.exe"
}

# Starts the tool in $WORK/run with arguments $@ and waits for its window; sets TOOL_PID and
# WID. $TOOL_DISPLAY, if set, is the tool's DISPLAY (the window is looked for on $DISPLAY).
# $TOOL_WRAPPER, if set, is a shell command the tool runs under, as "$0" and "$@".
start_tool() {
    (cd "$WORK/run" && exec env RENDERER_RECORD="$WORK/record" E2E_MARKER=kept \
        DISPLAY="${TOOL_DISPLAY:-$DISPLAY}" ${TOOL_WRAPPER:+sh -c "$TOOL_WRAPPER"} \
        "$WORK/install/vexalo-config" "$@") 2>"$WORK/stderr" &
    TOOL_PID=$!
    await_window
}

# The tool's visible windows, its own and its message boxes. xdotool dies of an X error when a
# window it walks past is destroyed meanwhile, as openbox takes a closed window's frame down
# a moment after its client ends: then it is asked again.
tool_windows() {
    local try
    for try in 1 2 3 4 5; do
        xdotool search --onlyvisible --name '^Vexalo Configuration$' 2>"$WORK/xdotool.err" && return
        grep -q 'X Error' "$WORK/xdotool.err" || return 1
    done
    return 1
}

# Waits for the window of the tool started as TOOL_PID to be shown and managed; sets WID.
await_window() {
    # Whether the tool still runs tells a hung start from one that ended.
    wait_for 20 eval 'tool_windows >/dev/null' || fail "the window did not appear; the tool \
$(kill -0 "$TOOL_PID" 2>/dev/null && echo runs || echo ended); stderr: $(cat "$WORK/stderr")"
    WID="$(tool_windows | head -1)"
    [ -n "$WID" ] || fail "the window did not appear"
    WINDOW_WIDTH="$(xwininfo -id "$WID" | sed -n 's/^ *Width: //p')"
    wait_for 10 sh -c "xprop -id $WID _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='" ||
        fail "the window manager did not manage the window"
    xdotool windowactivate --sync "$WID"
    # Off every control: a click where the pointer already is would make the next
    # "mousemove --sync" wait for a move that never comes.
    xdotool mousemove 0 0
}

# Clicks at ($1, $2) in the window's client area.
click_at() { xdotool mousemove --sync --window "$WID" "$1" "$2" click 1; }

# Where a user aims at control $1 of the layout table (dialog/layout.h), as "x y" in window
# pixels: a button's centre, an option's or check box's indicator (120 twips in from its left).
# The window keeps its proportions at any DPI and font, so its width scales the table's twips.
# The table comes from $LAYOUT_POINTS (tests/layout_points.cpp), build/release's by default.
control_point() {
    local top; top="$(dirname "${BASH_SOURCE[0]}")/../.."
    local points="${LAYOUT_POINTS:-$top/build/release/tests/layout_points}"
    [ -x "$points" ] || { echo "no layout program $points: build it first" >&2; return 1; }
    "$points" | awk -v want="$1" -v width="$WINDOW_WIDTH" '
        $1 == "client" { client = $2; next }
        $1 == want { kind = $2; x = $3; y = $4; w = $5; h = $6 }
        END {
            if (!kind || !client) exit 1
            px = x + (kind == "CommandButton" ? w / 2 : 120)
            printf "%d %d\n", px * width / client, (y + h / 2) * width / client
        }'
}

click_control() { local p; p="$(control_point "$1")" || fail "no control $1 in the layout"; click_at $p; }

click_option1() { click_control Option1; }
click_option2() { click_control Option2; }
click_option5() { click_control Option5; }
click_check1() { click_control Check1; }
click_save() { click_control Command1; }
click_save_and_start() { click_control Command2; }
click_cancel() { click_control Command3; }

tool_running() { kill -0 "$TOOL_PID" 2>/dev/null; }

# Waits for the tool to end and checks its exit status.
expect_exit() {
    wait_for 20 sh -c "! kill -0 $TOOL_PID 2>/dev/null" || fail "the tool did not end"
    local status=0
    wait "$TOOL_PID" || status=$?
    TOOL_PID=""
    [ "$status" -eq "$1" ] || fail "exit status $status, expected $1; stderr: $(cat "$WORK/stderr")"
}

# The tool's message boxes: dialog-type windows besides the main window.
report_windows() {
    local w
    for w in $(tool_windows); do
        [ "$w" = "$WID" ] && continue
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DIALOG && echo "$w"
    done
}

has_report() { [ -n "$(report_windows)" ]; }

# Waits for exactly one failure report and dismisses it with Enter.
dismiss_one_report() {
    local boxes=""
    found_reports() { boxes="$(report_windows)"; [ -n "$boxes" ]; }
    wait_for 20 found_reports || fail "no failure report appeared"
    [ "$(echo "$boxes" | wc -l)" -eq 1 ] || fail "more than one report: $boxes"
    xdotool windowactivate --sync "$boxes" key Return
}

# config.txt's expected bytes for the given resolution, depth, full screen and desktop.
expected_config() {
    printf '%s\r\n' "[VEXALO-CONFIG]" "" "WIDTH: $1" "HEIGHT: $2" "BPP: $3" \
        "FULLSCREEN? (0=no/1=yes): $4" "" "[DESKTOP-CONFIG]" "WIDTH: $5" "HEIGHT: $6" "BPP: $7"
}

same_bytes() { cmp -s "$1" "$2" || fail "$1 differs from $2: $(od -c "$1" | head -5)"; }

# The first buffer a Wayland client committed on a surface whose xdg_surface acked a configure,
# from its WAYLAND_DEBUG=client log $1, as "MS WIDTHxHEIGHT" (size "?" for a buffer not made
# from shared memory). MS counts from $2, a launch stamp in µs of CLOCK_REALTIME, which
# libwayland stamps its lines with, in one of two forms: up to 1.25 "[%7u.%03u]" ms,
# blank-padded, of the µs cut to 32 bits; from 1.26 on "[14:43:49.096479]", the time of day in
# UTC. The difference is taken modulo 2^32 µs or a day. libwayland 1.23 names the event queue
# after the stamp ("{Default Queue}") and objects as "wl_buffer#7": both read as 1.21's lines;
# 1.26 may colour its lines, which is dropped.
first_buffer() {
    awk -v t0="$((${2:-0} % 4294967296))" -v t0day="$((${2:-0} % 86400000000))" '
        function since_launch(stamp, hms, us, d) {
            stamp = substr(stamp, 2, length(stamp) - 2)
            if (split(stamp, hms, ":") == 3) {
                us = int(((hms[1] * 60 + hms[2]) * 60 + hms[3]) * 1000000 + 0.5)
                d = us - t0day
                return d < 0 ? d + 86400000000 : d
            }
            d = int(stamp * 1000 + 0.5) - t0
            return d < 0 ? d + 4294967296 : d
        }
        {
            gsub(/\033\[[0-9;]*m/, "")
            sub(/^\[ +/, "[")
            if ((i = index($0, "] {")) > 0)
                $0 = substr($0, 1, i) substr($0, i + index(substr($0, i), "}"))
            gsub(/#/, "@")
        }
        $2 != "->" { next }
        { split($3, call, /[.(]/) }
        call[2] == "get_xdg_surface" { gsub(/[,)]/, ""); surface[$5] = $6 }
        call[2] == "ack_configure" { acked[surface[call[1]]] = 1 }
        call[2] == "create_buffer" { gsub(/,/, ""); size[$5] = $7 "x" $8 }
        call[2] == "attach" { b = call[3]; sub(/,$/, "", b); attached[call[1]] = b == "nil" ? "" : b }
        call[2] == "commit" && acked[call[1]] && attached[call[1]] != "" {
            b = attached[call[1]]
            printf "%.1f %s\n", since_launch($1) / 1000, b in size ? size[b] : "?"
            exit
        }
        call[2] == "commit" { attached[call[1]] = "" }' "$1"
}

# Whether the Qt that binary $2 runs with is version $1 or later, as its core library's name says.
qt_at_least() {
    local qt
    qt="$(readlink -f "$(ldd "$2" | awk '/libQt6Core/ { print $3 }')")"
    [ "$(printf '%s\n%s\n' "$1" "${qt##*.so.}" | sort -V | head -1)" = "$1" ]
}
