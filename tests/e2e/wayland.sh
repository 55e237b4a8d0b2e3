#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end cases of the real tool on Qt's Wayland plugin, in headless compositors, pressed
# through the accessibility layer. Usage: wayland.sh CASE
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

# The tool as installed, so that it finds its private files beside it. Compositors are a
# user's, not root's: as root, install and stage what the case needs where an unprivileged user
# can read it, and run the case as that user.
if [ "$(id -u)" -eq 0 ]; then
    stage="$(mktemp -d)"
    trap 'rm -rf "$stage"' EXIT
    cmake --install "$VEXALO_BUILD" --prefix "$stage/prefix" >/dev/null
    cp "$WAYLAND_STANDIN" "$stage/wayland_standin"
    cp "$LAYOUT_POINTS" "$stage/layout_points"
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
        env HOME="$stage" VEXALO_PREFIX="$stage/prefix" VEXALO_BINARY="$stage/prefix/bin/vexalo-config" \
        WAYLAND_STANDIN="$stage/wayland_standin" LAYOUT_POINTS="$stage/layout_points" \
        bash "$stage/wayland.sh" "$@" || status=$?
    exit "$status"
fi

unset DISPLAY WAYLAND_DISPLAY SWAYSOCK
source "$here/lib.sh"
if [ -z "${VEXALO_PREFIX:-}" ]; then
    VEXALO_PREFIX="$WORK/prefix"
    cmake --install "$VEXALO_BUILD" --prefix "$VEXALO_PREFIX" >/dev/null
fi

# The tool on Qt's Wayland plugin, with the Wayland stand-in installed beside it as the
# renderer, and the words $@ in its environment.
start_wayland_tool() {
    mkdir -p "$WORK/run"
    cp "$WAYLAND_STANDIN" "$VEXALO_PREFIX/bin/opengl.exe"
    (cd "$WORK/run" && exec env QT_QPA_PLATFORM=wayland RENDERER_RECORD="$WORK/record" "$@" \
        "$VEXALO_PREFIX/bin/vexalo-config") 2>"$WORK/stderr" &
    TOOL_PID=$!
}

press_save_and_start() {
    wait_for 20 /usr/bin/python3 "$here/a11y_press.py" "Save and Start" ||
        fail "could not press Save and Start: $(cat "$WORK/stderr")"
    renderer_started
}

# By keyboard, so the token is tied to a real key press's serial: the button gets the focus
# through AT-SPI, then Space. Keys sent before Qt has bound wtype's virtual keyboard are lost,
# so one keyboard presses until the tool ends: a new keyboard for each press moves the
# keyboard focus each time, and Qt 6.11 then loses track of it ("unexpected
# wl_keyboard.leave") and drops every key after.
type_save_and_start() {
    wait_for 20 /usr/bin/python3 "$here/a11y_press.py" "Save and Start" focus ||
        fail "could not focus Save and Start: $(cat "$WORK/stderr")"
    local presses=() typer
    for _ in $(seq 40); do presses+=(-s 500 -k space); done
    wtype "${presses[@]}" &
    typer=$!
    wait_for 20 sh -c "! kill -0 $TOOL_PID 2>/dev/null" ||
        fail "Space did not press Save and Start: $(cat "$WORK/stderr")"
    kill "$typer" 2>/dev/null || true
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
    # New windows do not take the focus by themselves: only an activation gives it.
    start_sway $'no_focus [app_id="renderer-standin"]\nfocus_on_window_activation focus'
    start_screen_reader_session
    # The first window of a workspace is always focused; with another one there, only the
    # activation can focus the renderer.
    "$WAYLAND_STANDIN" bystander &
    PIDS+=($!)
    wait_for 10 focused bystander || fail "the bystander window did not appear"
    # sway draws the title bar, so the tool opens without GL buffers of its own accord, and
    # says nothing of it.
    start_wayland_tool
    type_save_and_start
    ! grep -q '^[A-Z_]*=' "$WORK/record" || fail "the renderer got the tool's own choice: $(cat "$WORK/record")"
    ! grep -qi 'buffer integration' "$WORK/stderr" || fail "the tool warned: $(cat "$WORK/stderr")"
    local token
    token="$(sed -n 's/^token=//p' "$WORK/record")"
    [ -n "$token" ] && [ "$token" != none ] || fail "no activation token: $(cat "$WORK/record")"
    grep -qxF "startup_id=$token" "$WORK/record" || fail "startup id: $(cat "$WORK/record")"
    wait_for 10 focused renderer-standin || fail "the renderer was not focused: $(swaymsg -t get_tree)"
}

has_painted() { [ -s "$WORK/stderr" ] && [ -n "$(first_buffer "$WORK/stderr")" ]; }

# weston leaves the title bar to the client: the tool keeps it, yet loads no GL driver; as on
# GNOME, with Qt's GTK theme.
start_weston_tool() {
    start_weston; start_screen_reader_session
    start_wayland_tool WAYLAND_DEBUG=client XDG_CURRENT_DESKTOP=GNOME
    wait_for 20 has_painted || fail "the window did not paint: $(grep -v '^\[' "$WORK/stderr")"
    # The title bar makes the window taller than the layout's proportions.
    local size client
    size="$(first_buffer "$WORK/stderr" | cut -d' ' -f2)"
    client="$("$LAYOUT_POINTS" | sed -n 's/^client //p')"
    awk -v s="${size/x/ }" -v c="$client" 'BEGIN { split(s, b); split(c, l)
        exit !(b[2] * l[1] > 1.05 * b[1] * l[2]) }' ||
        fail "no title bar: the first buffer is $size, the layout $client twips"
    ! grep -q libEGL_mesa "/proc/$TOOL_PID/maps" || fail "Mesa's EGL driver was loaded"
}

case_weston_starts_renderer_without_token() {
    start_weston_tool
    press_save_and_start
    # No token from nowhere, and none of the tool's own choices.
    [ "$(cat "$WORK/record")" = $'token=none\nstartup_id=none' ] ||
        fail "the renderer got: $(cat "$WORK/record")"
    ! grep -v '^\[' "$WORK/stderr" | grep -qiE 'egl|integration' ||
        fail "the tool warned: $(grep -v '^\[' "$WORK/stderr")"
}

# Moved into a folder whose name holds a ':', which splits libglvnd's list of vendor files: the
# tool keeps its own stand-in, and reads no manifest where the name's second half leads from
# the working directory.
case_weston_moved_install_keeps_its_stand_in() {
    local moved="$WORK/moved:y" own planted="$WORK/run/planted.so" split
    cp -a "$VEXALO_PREFIX" "$moved"
    own="$(find "$moved" -name libEGL_vexalo_standin.so)"
    split="$WORK/run/y$(dirname "${own#"$moved"}")"
    mkdir -p "$WORK/run/y/bin" "$split"
    cp "$own" "$planted"
    printf '{"file_format_version": "1.0.0", "ICD": {"library_path": "%s"}}' "$planted" \
        >"$split/egl_standin.json"
    VEXALO_PREFIX="$moved" start_weston_tool
    # From Qt 6.8 on, the window opens with no buffer integration and needs no stand-in.
    qt_at_least 6.8 "$moved/bin/vexalo-config" ||
        grep -qF "$own" "/proc/$TOOL_PID/maps" || fail "its own stand-in was not loaded"
    ! grep -qF "$planted" "/proc/$TOOL_PID/maps" || fail "the planted stand-in was loaded"
}

"case_$1"
echo "PASS: $1"
