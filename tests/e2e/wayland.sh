#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end cases of the real tool on Qt's Wayland plugin, in headless compositors, pressed
# through the accessibility layer. Usage: wayland.sh CASE
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

# Compositors are a user's, not root's: as root, stage what the case needs where an
# unprivileged user can read it, and run the case as that user.
if [ "$(id -u)" -eq 0 ]; then
    stage="$(mktemp -d)"
    trap 'rm -rf "$stage"' EXIT
    cp "$VEXALO_BINARY" "$stage/vexalo-config"
    cp "$WAYLAND_STANDIN" "$stage/wayland_standin"
    cp "$here"/*.sh "$here"/*.py "$stage/"
    # The sanitizer build's leak suppressions may sit where that user cannot read them.
    if [[ "${LSAN_OPTIONS:-}" == *suppressions=* ]]; then
        supp="${LSAN_OPTIONS#*suppressions=}"
        supp="${supp%%:*}"
        cp "$supp" "$stage/lsan.supp"
        export LSAN_OPTIONS="${LSAN_OPTIONS/"$supp"/$stage/lsan.supp}"
    fi
    chown -R nobody:nogroup "$stage"
    chmod 755 "$stage"
    status=0
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env HOME="$stage" VEXALO_BINARY="$stage/vexalo-config" \
        WAYLAND_STANDIN="$stage/wayland_standin" bash "$stage/wayland.sh" "$@" || status=$?
    exit "$status"
fi

unset DISPLAY WAYLAND_DISPLAY SWAYSOCK
source "$here/lib.sh"

socket_ready() { [ -S "$XDG_RUNTIME_DIR/$1" ]; }

start_sway() {
    # New windows do not take the focus by themselves: only an activation gives it.
    cat >"$WORK/sway.config" <<'CONF'
no_focus [app_id="renderer-standin"]
focus_on_window_activation focus
CONF
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$WORK/sway.config" >"$WORK/compositor.log" 2>&1 &
    PIDS+=($!)
    wait_for 20 sh -c 'ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock >/dev/null 2>&1' ||
        fail "sway did not start: $(cat "$WORK/compositor.log")"
    SWAYSOCK="$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)"
    WAYLAND_DISPLAY="$(cd "$XDG_RUNTIME_DIR" && ls wayland-* | grep -v lock | head -1)"
    export SWAYSOCK WAYLAND_DISPLAY
}

start_weston() {
    weston --backend=headless-backend.so --socket=wayland-vexalo --idle-time=0 \
        >"$WORK/compositor.log" 2>&1 &
    PIDS+=($!)
    wait_for 20 socket_ready wayland-vexalo || fail "weston did not start: $(cat "$WORK/compositor.log")"
    export WAYLAND_DISPLAY=wayland-vexalo
}

# The tool on Qt's Wayland plugin, with the Wayland stand-in installed as the renderer, and
# the words $@ in its environment.
start_wayland_tool() {
    install_tool
    cp "$WAYLAND_STANDIN" "$WORK/install/opengl.exe"
    (cd "$WORK/run" && exec env QT_QPA_PLATFORM=wayland RENDERER_RECORD="$WORK/record" "$@" \
        "$WORK/install/vexalo-config") 2>"$WORK/stderr" &
    TOOL_PID=$!
}

press_save_and_start() {
    wait_for 20 /usr/bin/python3 "$here/a11y_press.py" "Save and Start" ||
        fail "could not press Save and Start: $(cat "$WORK/stderr")"
    renderer_started
}

# By keyboard, so the token is tied to a real key press's serial: the button gets the focus
# through AT-SPI, then Space. Each wtype brings its own virtual keyboard, and keys sent
# before Qt has bound it are lost: press until the tool ends.
type_save_and_start() {
    wait_for 20 /usr/bin/python3 "$here/a11y_press.py" "Save and Start" focus ||
        fail "could not focus Save and Start: $(cat "$WORK/stderr")"
    wait_for 20 sh -c "wtype -k space; ! kill -0 $TOOL_PID 2>/dev/null" ||
        fail "Space did not press Save and Start"
    renderer_started
}

renderer_started() {
    expect_exit 0
    wait_for 10 test -s "$WORK/record" || fail "the renderer did not start"
}

# Succeeds when the window of app id $1 is the focused one.
focused() {
    swaymsg -t get_tree | APP_ID="$1" /usr/bin/python3 -c '
import json, os, sys
def nodes(n):
    yield n
    for child in n.get("nodes", []) + n.get("floating_nodes", []):
        yield from nodes(child)
sys.exit(0 if any(n.get("app_id") == os.environ["APP_ID"] and n.get("focused")
                  for n in nodes(json.load(sys.stdin))) else 1)'
}

case_sway_activates_renderer_with_token() {
    start_sway; start_screen_reader_session
    # The first window of a workspace is always focused; with another one there, only the
    # activation can focus the renderer.
    "$WAYLAND_STANDIN" bystander &
    PIDS+=($!)
    wait_for 10 focused bystander || fail "the bystander window did not appear"
    # sway draws the title bar, so the tool opens without GL buffers of its own accord, and
    # says nothing of it.
    start_wayland_tool
    type_save_and_start
    ! grep -q buffer_integration "$WORK/record" || fail "the renderer got the tool's own choice"
    ! grep -qi 'buffer integration' "$WORK/stderr" || fail "the tool warned: $(cat "$WORK/stderr")"
    local token
    token="$(sed -n 's/^token=//p' "$WORK/record")"
    [ -n "$token" ] && [ "$token" != none ] || fail "no activation token: $(cat "$WORK/record")"
    grep -qxF "startup_id=$token" "$WORK/record" || fail "startup id: $(cat "$WORK/record")"
    wait_for 10 focused renderer-standin || fail "the renderer was not focused: $(swaymsg -t get_tree)"
}

case_weston_starts_renderer_without_token() {
    # The window is drawn into shared memory either way; without EGL, no driver is loaded and
    # unloaded, whose allocations LeakSanitizer could not tell from ours.
    start_weston; start_screen_reader_session
    start_wayland_tool QT_WAYLAND_CLIENT_BUFFER_INTEGRATION=none
    press_save_and_start
    [ "$(cat "$WORK/record")" = $'token=none\nstartup_id=none\nbuffer_integration=none' ] ||
        fail "a token from nowhere: $(cat "$WORK/record")"
}

"case_$1"
echo "PASS: $1"
