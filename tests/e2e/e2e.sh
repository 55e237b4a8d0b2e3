#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end cases of the real tool in Xvfb with openbox. Usage: e2e.sh CASE
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib.sh"

case_opens_with_title_fixed_size_and_icon() {
    start_desktop 800x600x24; install_tool; start_tool
    [ "$(xprop -id "$WID" WM_NAME)" = 'WM_NAME(STRING) = "Vexalo Configuration"' ] || fail "WM_NAME"
    [ "$(xprop -id "$WID" _NET_WM_NAME)" = '_NET_WM_NAME(UTF8_STRING) = "Vexalo Configuration"' ] ||
        fail "_NET_WM_NAME"
    xwininfo -id "$WID" | grep -q 'Width: 417' || fail "width"
    xwininfo -id "$WID" | grep -q 'Height: 167' || fail "height"
    xprop -id "$WID" WM_NORMAL_HINTS | grep -q 'minimum size: 417 by 167' || fail "min size"
    xprop -id "$WID" WM_NORMAL_HINTS | grep -q 'maximum size: 417 by 167' || fail "max size"
    xprop -id "$WID" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE && fail "can be maximized"
    # Under load, Qt 6.8 can set the icon a moment after the window is shown.
    wait_for 5 sh -c "xprop -id $WID _NET_WM_ICON | grep -q 'Icon (32 x 32)'" || fail "icon"
    # Docks and task bars tie the window to its menu entry by this class.
    local class; class="$(sed -n 's/^StartupWMClass=//p' "$here/../../data/io.github.vexalo.Config.desktop")"
    xprop -id "$WID" WM_CLASS | grep -qF ", \"$class\"" || fail "WM_CLASS is not StartupWMClass=$class"
    click_cancel; expect_exit 0
}

case_scales_with_desktop_dpi() {
    # At 120 dpi a pixel is 12 twips: 6255 x 2505 twips make 521 x 209.
    start_desktop 1280x1024x24 120; install_tool; start_tool
    xwininfo -id "$WID" | grep -q 'Width: 521' || fail "width: $(xwininfo -id "$WID" | grep Width)"
    xwininfo -id "$WID" | grep -q 'Height: 209' || fail "height"
    click_save
    wait_for 10 test -s "$WORK/run/config.txt" || fail "Save was not where the layout puts it"
    click_cancel
    expect_exit 0
}

# Succeeds when every control a screen reader sees lies inside the frame it belongs to, or
# for " 640 x 480" the frame it lies over, clear of the frame's border. What is amiss is
# left in $WORK/frames.
controls_inside_frames() {
    /usr/bin/python3 "$here/a11y_tree.py" --extents >"$WORK/extents" || return 1
    awk '
        function inside(name, i, frame) {
            if (!(frame in fx)) { print "no frame " frame; bad = 1; return }
            if (x[i] < fx[frame] + 2 || y[i] < fy[frame] + 2 ||
                x[i] + w[i] > fx[frame] + fw[frame] - 2 || y[i] + h[i] > fy[frame] + fh[frame] - 2) {
                print name " leaves " frame; bad = 1
            }
        }
        {
            split($NF, e, ","); n++; x[n] = e[1]; y[n] = e[2]; w[n] = e[3]; h[n] = e[4]
            match($0, /^ */); depth[n] = RLENGTH / 2
            name[n] = $0; sub(/^ */, "", name[n]); sub(/ [^ ]*$/, "", name[n])
            if ($1 == "panel") { f = name[n]; fx[f] = x[n]; fy[f] = y[n]; fw[f] = w[n]; fh[f] = h[n] }
            else if (depth[n] == 2) in_frame[n] = f
        }
        END {
            for (i = 1; i <= n; i++) {
                if (i in in_frame) inside(name[i], i, in_frame[i])
                if (name[i] ~ /640 x 480/) inside(name[i], i, "panel \047Resolution\047")
            }
            if (n < 12) { print "only " n " objects"; bad = 1 }
            exit bad
        }' "$WORK/extents" >"$WORK/frames"
}

case_grows_with_desktop_font() {
    # Qt's GTK theme gives the window the desktop's font; the layout grows until every
    # caption fits, keeps the table's proportions (6255 x 2505 twips) and a fixed size.
    start_desktop 1280x1024x24; start_screen_reader_session; install_tool
    export XDG_CURRENT_DESKTOP=GNOME XDG_CONFIG_HOME="$WORK/config" NO_AT_BRIDGE=1
    mkdir -p "$XDG_CONFIG_HOME/gtk-3.0"
    local font width height last=417
    for font in "Cantarell 11" "DejaVu Sans 14" "DejaVu Sans 16"; do
        printf '[Settings]\ngtk-font-name=%s\n' "$font" >"$XDG_CONFIG_HOME/gtk-3.0/settings.ini"
        start_tool
        width="$(xwininfo -id "$WID" | sed -n 's/^ *Width: //p')"
        height="$(xwininfo -id "$WID" | sed -n 's/^ *Height: //p')"
        [ "$width" -gt "$last" ] || fail "$font: $width pixels wide, not wider than $last"
        [ $(((width * 2505 + 3127) / 6255 - height)) -ge -1 ] &&
            [ $(((width * 2505 + 3127) / 6255 - height)) -le 1 ] ||
            fail "$font: ${width}x$height lost the table's proportions"
        xprop -id "$WID" WM_NORMAL_HINTS | grep -q "minimum size: $width by $height" &&
            xprop -id "$WID" WM_NORMAL_HINTS | grep -q "maximum size: $width by $height" ||
            fail "$font: the size is not fixed"
        wait_for 10 controls_inside_frames ||
            fail "$font: $(cat "$WORK/frames")"
        click_cancel
        expect_exit 0
        echo "$font: ${width}x$height"
        last="$width"
    done
}

# The window's pixels, once two looks in a row agree.
window_pixels() {
    local last="" now
    for _ in $(seq 50); do
        now="$(import -window "$WID" rgb:- | md5sum)"
        [ "$now" = "$last" ] && { echo "$now"; return; }
        last="$now"
    done
    fail "the window kept changing"
}

case_looks_as_under_qts_gtk_theme_without_gtk() {
    # On X11 under a GTK-based desktop the tool reads GTK's settings itself: it must look as
    # Qt's GTK theme makes it, in GNOME's font and a dark theme, without loading GTK.
    start_desktop 1280x1024x24; install_tool; install_renderer
    start_settings_manager 'Gtk/FontName "Cantarell 11"' 'Net/ThemeName "Adwaita-dark"'
    export XDG_CURRENT_DESKTOP=GNOME NO_AT_BRIDGE=1
    QT_QPA_PLATFORMTHEME=gtk3 start_tool
    grep -q libgtk-3 "/proc/$TOOL_PID/maps" || fail "Qt's GTK theme did not load GTK"
    local size pixels
    size="$(xwininfo -id "$WID" | grep -E '^ *(Width|Height):')"; pixels="$(window_pixels)"
    import -window "$WID" "$WORK/gtk3.png"
    click_cancel; expect_exit 0
    start_tool
    # From Qt 6.5 on, Qt's GTK theme takes GTK's own colours, which only GTK can tell: the
    # tool leaves the theme to Qt there.
    if qt_at_least 6.5 "$WORK/install/vexalo-config"; then
        grep -q libgtk-3 "/proc/$TOOL_PID/maps" || fail "Qt's GTK theme was not loaded"
    else
        ! grep -q libgtk-3 "/proc/$TOOL_PID/maps" || fail "GTK was loaded"
    fi
    [ "$(xwininfo -id "$WID" | grep -E '^ *(Width|Height):')" = "$size" ] || fail "size: $size"
    [ "$(window_pixels)" = "$pixels" ] || fail "the window looks otherwise than under Qt's GTK theme"
    [ "$(convert "$WORK/gtk3.png" -colorspace Gray -format '%[fx:mean < 0.5]' info:)" = 1 ] ||
        fail "the window is not dark"
    click_save_and_start; expect_exit 0
    wait_for 10 test -s "$WORK/record" || fail "the renderer did not start"
    kill "$(sed -n 's/^pid=//p' "$WORK/record")"
    ! grep -q '^QT_QPA_PLATFORMTHEME=' "$WORK/record.env" || fail "the tool's theme was passed on"
}

# Succeeds when every line given stands, whole, in what a screen reader sees.
a11y_tree_has() {
    local tree line
    tree="$(/usr/bin/python3 "$here/a11y_tree.py")" || return 1
    for line; do
        grep -qxF -- "$line" <<<"$tree" || return 1
    done
}

# Presses each "key=name" word's key; a screen reader must then see the focus on that control.
walk_focus() {
    local step
    for step; do
        xdotool key "${step%%=*}"
        wait_for 10 sh -c "/usr/bin/python3 '$here/a11y_tree.py' | grep -F \"'${step#*=}'\" | grep -q ' focused'" ||
            fail "${step%%=*} did not move the focus to '${step#*=}'"
    done
}

case_screen_reader_sees_roles_names_and_states() {
    start_desktop 800x600x24; start_screen_reader_session; install_tool; install_renderer
    # " 640 x 480" belongs to the window but is drawn in the frame: it is read there, first.
    cat >"$WORK/expected" <<'TREE'
dialog 'Vexalo Configuration'
  panel 'Resolution'
    radio button ' 640 x 480' focused by 'Resolution'
    radio button ' 800 x 600' by 'Resolution'
    radio button ' 1024 x 768' checked by 'Resolution'
    radio button ' 1600 x 1200' by 'Resolution'
  panel 'Other screen settings'
    radio button ' 16 bpp' by 'Other screen settings'
    radio button ' 32 bpp' checked by 'Other screen settings'
    check box ' Fullscreen?' checked by 'Other screen settings'
  push button 'Save'
  push button 'Save and Start'
  push button 'Cancel'
TREE
    # Plain Qt, then Qt's GTK theme, which loads GTK and with it GTK's own accessibility
    # bridge: a screen reader must still find one application, the window's.
    local desktop
    for desktop in "" GNOME; do
        XDG_CURRENT_DESKTOP="$desktop" start_tool
        # The tree fills in as the application registers; wait for it to settle.
        wait_for 10 sh -c "/usr/bin/python3 '$here/a11y_tree.py' >'$WORK/seen' 2>'$WORK/seen.err' && cmp -s '$WORK/expected' '$WORK/seen'" ||
            { cat "$WORK/seen.err"; diff -u "$WORK/expected" "$WORK/seen"; fail "a screen reader sees another window ($desktop)"; }
        # A selection by keyboard is announced: the new option checked, the old one not. Screen
        # readers learn of the two changes by separate events, so wait until both are seen.
        xdotool key space
        wait_for 10 a11y_tree_has "    radio button ' 640 x 480' checked focused by 'Resolution'" \
            "    radio button ' 1024 x 768' by 'Resolution'" || fail "the selection was not announced ($desktop)"
        [ -z "$desktop" ] || break
        # Tab and Shift+Tab stop once in each group, on its selected option; Return and keypad
        # Enter press the focused button.
        walk_focus "Tab= 32 bpp" "Tab= Fullscreen?" Tab=Save "Tab=Save and Start" Tab=Cancel \
            "Tab= 640 x 480" shift+Tab=Cancel "shift+Tab=Save and Start" shift+Tab=Save
        xdotool key Return
        expected_config 640 480 32 1 800 600 32 >"$WORK/expected.config"
        wait_for 10 cmp -s "$WORK/run/config.txt" "$WORK/expected.config" || fail "Return on Save"
        walk_focus "Tab=Save and Start" Tab=Cancel
        xdotool key Return; expect_exit 0
    done
    walk_focus shift+Tab=Cancel "shift+Tab=Save and Start"
    xdotool key KP_Enter; expect_exit 0
    wait_for 10 test -s "$WORK/record" || fail "keypad Enter on Save and Start started no renderer"
    kill "$(sed -n 's/^pid=//p' "$WORK/record")"
}

case_save_twice_replaces_file_and_keeps_window() {
    start_desktop 1280x1024x24; install_tool; start_tool
    click_save
    expected_config 1024 768 32 1 1280 1024 32 >"$WORK/expected"
    wait_for 10 cmp -s "$WORK/run/config.txt" "$WORK/expected" || fail "first save"
    click_option1; click_option5; click_check1; click_save
    expected_config 640 480 16 0 1280 1024 32 >"$WORK/expected"
    wait_for 10 cmp -s "$WORK/run/config.txt" "$WORK/expected" || fail "second save"
    tool_running || fail "the window closed on Save"
    [ -z "$(report_windows)" ] || fail "Save showed a message"
    [ "$(ls -A "$WORK/run")" = "config.txt" ] || fail "stray files: $(ls -A "$WORK/run")"
    click_cancel; expect_exit 0
}

case_keyboard_selects_and_saves() {
    start_desktop 800x600x16; install_tool; start_tool
    # Focus starts on " 640 x 480": Space selects it; Tab visits the depth group, the check
    # box and Save.
    xdotool key --delay 20 space Tab Tab Tab space
    expected_config 640 480 32 1 800 600 16 >"$WORK/expected"
    wait_for 10 cmp -s "$WORK/run/config.txt" "$WORK/expected" || fail "keyboard save"
    # Escape has no meaning; Enter presses the focused Save again, which keeps the window.
    xdotool key --delay 20 Escape Return KP_Enter
    tool_running || fail "Escape or Enter closed the window"
    click_cancel; expect_exit 0
}

case_save_and_start_writes_then_starts_detached_renderer() {
    start_desktop 800x600x24; install_tool; install_renderer; start_tool
    click_save_and_start
    expect_exit 0
    wait_for 10 test -s "$WORK/record" || fail "the renderer did not start"
    expected_config 1024 768 32 1 800 600 32 >"$WORK/expected"
    same_bytes "$WORK/record.config" "$WORK/expected"
    grep -qx 'argc=0' "$WORK/record" || fail "arguments: $(cat "$WORK/record")"
    grep -qx "cwd=$WORK/run" "$WORK/record" || fail "working directory: $(cat "$WORK/record")"
    grep -qx 'E2E_MARKER=kept' "$WORK/record.env" || fail "environment not passed on"
    ! grep -q '^NO_AT_BRIDGE=' "$WORK/record.env" || fail "the tool's own NO_AT_BRIDGE was passed on"
    local pid sid
    pid="$(sed -n 's/^pid=//p' "$WORK/record")"
    sid="$(sed -n 's/^sid=//p' "$WORK/record")"
    kill -0 "$pid" 2>/dev/null || fail "the renderer ended with the tool"
    [ "$sid" != "$(ps -o sid= -p $$ | tr -d ' ')" ] ||
        fail "the renderer shares the tool's session"
    kill "$pid"
}

# Moves the window to ($1, $2), saves the default choices, and expects the desktop section to
# read $3 x $4.
saves_desktop_at() {
    xdotool windowmove --sync "$WID" "$1" "$2"
    click_save
    expected_config 1024 768 32 1 "$3" "$4" 32 >"$WORK/expected"
    wait_for 10 cmp -s "$WORK/run/config.txt" "$WORK/expected" ||
        fail "at $1,$2: $(tr '\r\n' ' /' <"$WORK/run/config.txt")"
}

case_saves_the_mode_of_the_windows_monitor() {
    [ "$(id -u)" -eq 0 ] || skip "Xorg with the dummy driver needs root"
    # DISPLAY names another server; the tool is told -display, as a user may.
    start_desktop 800x600x24; TOOL_DISPLAY="$DISPLAY"
    start_dummy_desktop
    # DUMMY0 1280x800, the primary; DUMMY1 1920x1080 to its right, panned over 2560x1440.
    xrandr --output DUMMY0 --mode 1280x800 --primary
    xrandr --addmode DUMMY1 1920x1080
    xrandr --output DUMMY1 --mode 1920x1080 --right-of DUMMY0
    xrandr --output DUMMY1 --panning 2560x1440+1280+0
    install_tool; start_tool -display "$DISPLAY"
    saves_desktop_at 1500 200 1920 1080 # on the second monitor
    xdotool windowmove --sync "$WID" 100 100
    click_option1; click_save
    expected_config 640 480 32 1 1280 800 32 >"$WORK/expected"
    wait_for 10 cmp -s "$WORK/run/config.txt" "$WORK/expected" ||
        fail "back on the first: $(tr '\r\n' ' /' <"$WORK/run/config.txt")"
    click_cancel; expect_exit 0
}

# The displays users reach from their desktops: a nested server of two screens without RandR
# (Xinerama only), and an X display opened from a Wayland session. And with no session bus,
# as over ssh -X, the tool leaves nothing running.
case_saves_the_mode_of_nested_and_side_displays() {
    start_xvfb 2200x1000x24 "$WORK/host"
    wait_for 20 test -s "$WORK/host" || fail "Xvfb did not start"
    DISPLAY=":$(cat "$WORK/host")" Xephyr +xinerama -extension RANDR -screen 1280x720 \
        -screen 800x600 -displayfd 3 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
    PIDS+=($!)
    start_window_manager Xephyr
    install_tool
    local bus=(env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR="$WORK/no-bus")
    mkdir -m 700 "$WORK/no-bus"
    TOOL_WRAPPER="exec ${bus[*]} \"\$0\" \"\$@\"" start_tool
    saves_desktop_at 1400 100 800 600 # on Xinerama's second head
    click_cancel; expect_exit 0
    ! pgrep -f 'dbus-launch --autolaunch' >/dev/null || fail "a session bus was left running"

    weston --backend=headless-backend.so --width=1000 --height=700 --socket=wayland-e2e \
        --idle-time=0 >"$WORK/weston.log" 2>&1 &
    PIDS+=($!)
    wait_for 20 test -S "$XDG_RUNTIME_DIR/wayland-e2e" || fail "weston did not start"
    TOOL_WRAPPER='exec env WAYLAND_DISPLAY=wayland-e2e QT_QPA_PLATFORM=xcb "$0" "$@"' start_tool
    saves_desktop_at 100 100 1280 720 # the X display's, not the compositor's
    click_cancel; expect_exit 0
}

case_cancel_writes_nothing() {
    start_desktop 800x600x24; install_tool; start_tool
    click_cancel; expect_exit 0
    [ -z "$(ls -A "$WORK/run")" ] || fail "Cancel wrote: $(ls -A "$WORK/run")"
}

case_close_control_writes_nothing() {
    start_desktop 800x600x24; install_tool
    printf 'precious\r\n' >"$WORK/before"; cp "$WORK/before" "$WORK/run/config.txt"
    start_tool
    click_option2
    xdotool windowactivate --sync "$WID" key alt+F4
    expect_exit 0
    same_bytes "$WORK/run/config.txt" "$WORK/before"
}

case_renderer_missing_is_reported_once() {
    start_desktop 800x600x24; install_tool; start_tool
    "$STARTUP_WATCHER" >"$WORK/watch" &
    PIDS+=($!)
    wait_for 10 grep -qx ready "$WORK/watch" || fail "the watcher did not start"
    click_save_and_start
    dismiss_one_report
    expect_exit 1
    expected_config 1024 768 32 1 800 600 32 >"$WORK/expected"
    same_bytes "$WORK/run/config.txt" "$WORK/expected"
    # The desktop stops waiting for a launch that failed.
    local id
    id="$(sed -n 's/^message new: ID="\([^"]*\)".*/\1/p' "$WORK/watch")"
    [ -n "$id" ] && wait_for 10 grep -qxF "message remove: ID=\"$id\"" "$WORK/watch" ||
        fail "the launch was not withdrawn: $(cat "$WORK/watch")"
}

case_renderer_not_executable_is_reported_once() {
    start_desktop 800x600x24; install_tool; install_renderer
    chmod -x "$WORK/install/opengl.exe"
    start_tool
    click_save_and_start
    dismiss_one_report
    expect_exit 1
    [ ! -e "$WORK/record" ] || fail "the renderer ran"
    [ -s "$WORK/run/config.txt" ] || fail "config.txt was not written first"
}

case_unwritable_config_starts_no_renderer() {
    start_desktop 800x600x24; start_screen_reader_session; install_tool; install_renderer
    mkdir "$WORK/run/config.txt"
    # Qt's texts follow the language, the window does not: in a right-to-left language it
    # stays as it is, not mirrored around its English captions.
    local lang
    for lang in C.UTF-8 ar_EG.UTF-8; do
        LANG=$lang start_tool
        wait_for 10 sh -c "import -window $WID '$WORK/a.png' && import -window $WID '$WORK/b.png' &&
            compare -metric AE '$WORK/a.png' '$WORK/b.png' null: 2>/dev/null" || fail "no steady picture"
        mv "$WORK/a.png" "$WORK/$lang.png"
        click_cancel; expect_exit 0
    done
    compare -metric AE "$WORK/C.UTF-8.png" "$WORK/ar_EG.UTF-8.png" null: 2>/dev/null ||
        fail "the window changes in a right-to-left language"
    # The report speaks the user's language: Qt's words from Qt's catalogue, the system's
    # from the C library's, decoded from the locale's own encoding (KOI8-R is not UTF-8).
    # The locales are built privately, so the test needs none generated on the machine.
    mkdir "$WORK/locale"
    local locale charset texts seen
    while IFS='|' read -r locale charset texts; do
        localedef -i "${locale%%.*}" -f "$charset" "$WORK/locale/$locale" 2>/dev/null ||
            fail "localedef $locale"
        LOCPATH="$WORK/locale" LANG=$locale LANGUAGE= LC_ALL= start_tool
        click_save_and_start
        wait_for 20 has_report || fail "no failure report appeared"
        IFS=';' read -ra texts <<<"$texts"
        for seen in "${texts[@]}"; do
            wait_for 20 sh -c "/usr/bin/python3 '$here/a11y_tree.py' | grep -qF \"$seen\"" ||
                fail "the report in $locale lacks $seen: $(/usr/bin/python3 "$here/a11y_tree.py")"
        done
        dismiss_one_report
        expect_exit 1
        [ ! -e "$WORK/record" ] || fail "the renderer ran after a failed write"
        [ -d "$WORK/run/config.txt" ] && [ -z "$(ls -A "$WORK/run/config.txt")" ] ||
            fail "config.txt directory changed"
    done <<'LOCALES'
es_ES.UTF-8|UTF-8|push button 'Aceptar';/run/config.txt: Es un directorio'
ru_RU.KOI8-R|KOI8-R|/run/config.txt: Это каталог'
LOCALES
}

# Save and Start in the running tool fails to write: one report, status 1, the old file intact,
# no renderer, and nothing in the directory but $1 (its expected listing).
expect_failed_write_kept_old_config() {
    click_save_and_start
    dismiss_one_report
    expect_exit 1
    same_bytes "$WORK/run/config.txt" "$WORK/before"
    [ ! -e "$WORK/record" ] || fail "the renderer ran after a failed write"
    [ "$(ls -A "$WORK/run" | tr '\n' ' ')" = "$1" ] || fail "leftovers: $(ls -A "$WORK/run")"
}

case_full_filesystem_keeps_old_config() {
    start_desktop 800x600x24; install_tool; install_renderer
    printf 'old settings\r\n' >"$WORK/before"; cp "$WORK/before" "$WORK/run/config.txt"
    # Over a file-size limit the write fails as on a full disk; the kernel's SIGXFSZ must not
    # kill the tool before it can say so.
    start_tool
    prlimit --pid "$TOOL_PID" --fsize=0
    expect_failed_write_kept_old_config "config.txt "

    [ "$(id -u)" -eq 0 ] || skip "mounting a tmpfs needs root"
    mount -t tmpfs -o size=64k tmpfs "$WORK/run"
    cp "$WORK/before" "$WORK/run/config.txt"
    dd if=/dev/zero of="$WORK/run/filler" bs=4k 2>/dev/null || true
    start_tool
    expect_failed_write_kept_old_config "config.txt filler "
}

case_start_up_failures_are_one_plain_line() {
    start_desktop 800x600x24; install_tool
    # A palette display, on which Qt cannot draw.
    start_xvfb 800x600x8 "$WORK/display8"
    wait_for 20 test -s "$WORK/display8" || fail "the 8-bit Xvfb did not start"
    local display8=":$(tr -d '\n' <"$WORK/display8")"
    # A Qt without its Wayland plugin, as when qt6-wayland is not installed.
    mkdir -p "$WORK/no-wayland/plugins/platforms"
    cp "$WORK/install/vexalo-config" "$WORK/no-wayland/"
    printf '[Paths]\nPlugins=plugins\n' >"$WORK/no-wayland/qt.conf"
    ln -s "$(qtpaths6 --plugin-dir)/platforms/libqxcb.so" "$WORK/no-wayland/plugins/platforms/"

    # how the tool is started | the one line it writes on standard error, with exit status 1
    local how expected status
    while IFS='|' read -r how expected; do
        status=0
        (cd "$WORK/run" && eval "$how") >"$WORK/stdout" 2>"$WORK/stderr" </dev/null || status=$?
        [ "$status" -eq 1 ] || fail "$how: exit status $status; stderr: $(cat "$WORK/stderr")"
        [ "$(cat "$WORK/stderr")" = "$expected" ] || fail "$how: stderr: $(cat "$WORK/stderr")"
        [ ! -s "$WORK/stdout" ] || fail "$how: stdout: $(cat "$WORK/stdout")"
        [ -z "$(ls -A "$WORK/run")" ] || fail "$how: wrote $(ls -A "$WORK/run")"
    done <<TABLE
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$WORK/install/vexalo-config"|vexalo-config: cannot connect to a display
env -u WAYLAND_DISPLAY DISPLAY=:no-such-display "$WORK/install/vexalo-config"|vexalo-config: cannot connect to a display
env QT_QPA_PLATFORM=bogus "$WORK/install/vexalo-config"|vexalo-config: Could not find the Qt platform plugin "bogus" in ""
env -u DISPLAY WAYLAND_DISPLAY=no-such-socket "$WORK/no-wayland/vexalo-config"|vexalo-config: Could not find the Qt platform plugin "wayland" in ""
env QT_QPA_PLATFORM=linuxfb:fb=/dev/no-such-fb "$WORK/install/vexalo-config"|vexalo-config: no screen to show the window on: Failed to open framebuffer /dev/no-such-fb (No such file or directory)
env DISPLAY=$display8 "$WORK/install/vexalo-config"|vexalo-config: cannot draw on a display of 8 bits per pixel; 15 or more are needed
TABLE

    # Standard streams closed: Qt warns while it starts (of the unknown style), and that warning
    # must not go into whatever file took the closed descriptor, such as the X connection.
    local tool='"$WORK/install/vexalo-config" -style no-such-style' how
    local hows=("exec $tool 2>&-" "exec $tool 0<&- 1>&- 2>&-")
    # And with no /dev/null to fill them from, as in a minimal container (needs root).
    [ "$(id -u)" != 0 ] ||
        hows+=("exec unshare -m sh -c 'mount -t tmpfs none /dev && exec \"\$@\" 2>&-' sh $tool")
    for how in "${hows[@]}"; do
        (cd "$WORK/run" && eval "$how") &
        TOOL_PID=$!
        await_window
        click_cancel; expect_exit 0
    done
}

# --help, --version and usage errors are answered without any display (so over ssh too);
# with no display, a start that went on to open the window would end with status 1.
case_command_line_answers_without_a_display() {
    # The binary alone, as copied beside a renderer: it carries its catalogues.
    install_tool
    mkdir "$WORK/locale"
    localedef -i es_ES -f UTF-8 "$WORK/locale/es_ES.UTF-8" 2>/dev/null || fail "localedef es_ES"
    # arguments ("es:" in Spanish) | exit status | standard stream written | a line in it
    local args status stream text got lang
    while IFS='|' read -r args status stream text; do
        got=0 lang=C.UTF-8
        [[ "$args" != es:* ]] || { lang=es_ES.UTF-8; args="${args#es:}"; }
        (cd "$WORK/run" && env -u DISPLAY -u WAYLAND_DISPLAY LOCPATH="$WORK/locale" LANG=$lang \
            "$WORK/install/vexalo-config" $args) >"$WORK/stdout" 2>"$WORK/stderr" || got=$?
        [ "$got" -eq "$status" ] || fail "'$args': exit status $got; stderr: $(cat "$WORK/stderr")"
        grep -qxF -- "$text" "$WORK/$stream" || fail "'$args': $stream: $(cat "$WORK/$stream")"
        [ "$(cat "$WORK/stdout" "$WORK/stderr" | grep -c .)" -eq "$(grep -c . "$WORK/$stream")" ] ||
            fail "'$args' wrote to the other stream: $(cat "$WORK/stdout" "$WORK/stderr")"
    done <<'TABLE'
--help|0|stdout|  -v, --version  Displays the version and exits.
-h|0|stdout|  -h, --help     Displays this help and exits.
--version|0|stdout|vexalo-config 1.00
-v|0|stdout|vexalo-config 1.00
-display :1 -style fusion --version|0|stdout|vexalo-config 1.00
--bogus|2|stderr|vexalo-config: Unknown option 'bogus'.
-x|2|stderr|vexalo-config: Unknown option 'x'.
--help|0|stdout|Usage: vexalo-config [options] [FOLDER]
stray|2|stderr|vexalo-config: stray: No such file or directory; give the renderer's folder: check the path typed, or the command of the launcher that started the tool
/dev/null|2|stderr|vexalo-config: /dev/null: not a folder or a file; give the renderer's folder: check the path typed, or the command of the launcher that started the tool
a b|2|stderr|vexalo-config: Unexpected argument 'b'.
-style|2|stderr|vexalo-config: Missing value after '-style'.
es:stray|2|stderr|vexalo-config: stray: No existe el fichero o el directorio; indique la carpeta del renderizador: compruebe la ruta escrita o la orden del lanzador que inició la herramienta
es:/dev/null|2|stderr|vexalo-config: /dev/null: no es una carpeta ni un archivo; indique la carpeta del renderizador: compruebe la ruta escrita o la orden del lanzador que inició la herramienta
es:--help|0|stdout|  FOLDER         La carpeta del renderizador, o un archivo dentro de ella: allí
es:--bogus|2|stderr|vexalo-config: Opción desconocida «bogus».
TABLE
    [ -z "$(ls -A "$WORK/run")" ] || fail "wrote: $(ls -A "$WORK/run")"

    # Qt's own options still reach Qt: -display names the X server where DISPLAY does not.
    start_desktop 800x600x24
    (cd "$WORK/run" && exec env -u DISPLAY "$WORK/install/vexalo-config" -display "$DISPLAY" \
        -style fusion) 2>"$WORK/stderr" &
    TOOL_PID=$!
    await_window
    click_cancel; expect_exit 0

    # From a launcher, where nobody sees standard error, a FOLDER that is gone shows in a box.
    (cd "$WORK/run" && exec "$WORK/install/vexalo-config" "$WORK/gone") 2>"$WORK/stderr" &
    TOOL_PID=$! WID=
    dismiss_one_report; expect_exit 2
    grep -qF "vexalo-config: $WORK/gone: No such file or directory; give the renderer's folder" \
        "$WORK/stderr" ||
        fail "the gone folder: $(cat "$WORK/stderr")"

    # Opened on the renderer's folder, or on the renderer itself, Save writes there.
    mkdir "$WORK/game" && : >"$WORK/game/opengl.exe"
    local place
    for place in "$WORK/game" "$WORK/game/opengl.exe"; do
        start_tool "$place"
        click_save; click_cancel; expect_exit 0
        [ -s "$WORK/game/config.txt" ] || fail "$place: config.txt not in the folder"
        rm "$WORK/game/config.txt"
    done
}

case_wine_start_shows_progress_and_can_be_left() {
    start_desktop 800x600x24; install_tool
    # The smallest 64-bit Windows program the tool passes to Wine: "MZ", at 0x3C the offset of
    # "PE\0\0", the machine, the optional header's size, and a PE32+ optional header.
    { printf 'MZ'; head -c 58 /dev/zero; printf '\x40\0\0\0PE\0\0\x64\x86'; head -c 14 /dev/zero
      printf '\x70\0\0\0\x0b\x02'; head -c 110 /dev/zero; } >"$WORK/run/opengl.exe"
    # A Wine that makes its prefix for 3 s, found beside the tool.
    printf '#!/bin/sh\nsleep 3\ntouch "%s"\n' "$WORK/wine.done" >"$WORK/install/wine"
    chmod +x "$WORK/install/wine"
    start_tool
    click_save_and_start
    wait_for 10 has_report || fail "no progress window while wine start runs"
    xdotool windowactivate --sync "$(report_windows)" key Return
    expect_exit 0
    [ ! -e "$WORK/wine.done" ] || fail "the tool waited for wine start to end"
    wait_for 10 test -e "$WORK/wine.done" || fail "wine start did not go on once the tool was left"
}

# Sets a root property that the startup watcher reports with the server's time.
mark() { xprop -root -f _VEXALO_TEST_MARK 8s -set _VEXALO_TEST_MARK "$1"; }

case_save_and_start_announces_launch_with_click_time() {
    # As root, under a host name with a space and quotes, on which Qt's own unquoted "remove:"
    # message would break: the id must keep to a plain one.
    if [ "$(id -u)" = 0 ] && [ -z "${OWN_HOST:-}" ]; then
        rm -rf "$WORK"; OWN_HOST=1 exec unshare --uts bash "$0" "${FUNCNAME[0]#case_}"
    fi
    [ -z "${OWN_HOST:-}" ] || printf 'my "box" 2' >/proc/sys/kernel/hostname
    start_desktop 800x600x24; install_tool; install_renderer
    # The stand-in shows, through the server, the moment it runs and the id it was given.
    sed -i '/^exec sleep/i xprop -root -f _VEXALO_TEST_RENDERER 8s -set _VEXALO_TEST_RENDERER "${DESKTOP_STARTUP_ID:-none}"' \
        "$WORK/install/opengl.exe"
    DESKTOP_STARTUP_ID=meant-for-the-tool start_tool
    "$STARTUP_WATCHER" >"$WORK/watch" &
    PIDS+=($!)
    wait_for 10 grep -qx ready "$WORK/watch" || fail "the watcher did not start"
    # Press and release apart, so the click's time is told from the time the command ran.
    xdotool mousemove --sync --window "$WID" $(control_point Command2)
    mark before; xdotool mousedown 1; mark pressed; xdotool mouseup 1
    expect_exit 0
    wait_for 10 grep -q '^property _VEXALO_TEST_RENDERER' "$WORK/watch" ||
        fail "the renderer did not start: $(cat "$WORK/watch")"
    local events id before pressed time
    events="$(grep -E '^(message new:|property _VEXALO_TEST_RENDERER)' "$WORK/watch")"
    [[ "$events" =~ ^message\ new:\ ID=\"([^\"]+)\"\ NAME=\"opengl.exe\"\ SCREEN=0\ BIN=\"opengl.exe\"$'\n'property\ _VEXALO_TEST_RENDERER\ [0-9]+\ (.*)$ ]] ||
        fail "not one announcement before the renderer ran: $events"
    id="${BASH_REMATCH[1]}"
    [ -z "${OWN_HOST:-}" ] || [[ "$id" == vexalo-config-*-my__box__2-opengl.exe_TIME* ]] || fail "id $id"
    [ "${BASH_REMATCH[2]}" = "$id" ] || fail "the renderer got ${BASH_REMATCH[2]}, announced $id"
    grep -qx "DESKTOP_STARTUP_ID=$id" "$WORK/record.env" || fail "environment: $(grep STARTUP "$WORK/record.env")"
    before="$(sed -n 's/^property _VEXALO_TEST_MARK \([0-9]*\) before$/\1/p' "$WORK/watch")"
    pressed="$(sed -n 's/^property _VEXALO_TEST_MARK \([0-9]*\) pressed$/\1/p' "$WORK/watch")"
    time="${id##*_TIME}"
    [ "$time" -gt 0 ] && [ "$time" -ge "$before" ] && [ "$time" -le "$pressed" ] ||
        fail "TIME $time is not the press's, between $before and $pressed"
    kill "$(sed -n 's/^pid=//p' "$WORK/record")"
}

case_windows_renderer_runs_maximized_in_the_working_directory() {
    # The cross compilers made the renderers; Wine itself is optional, as some releases lack it.
    command -v wine >/dev/null || skip "Wine is not installed (apt-get install wine wine64 wine32:i386)"
    start_desktop 800x600x24; install_tool
    export WINEPREFIX="$WORK/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    "$STARTUP_WATCHER" >"$WORK/watch" &
    PIDS+=($!)
    wait_for 10 grep -qx ready "$WORK/watch" || fail "the watcher did not start"
    # 64- and 32-bit, as unpacked from a Windows archive: no execute bit.
    local program
    for program in "$WINDOWS_RENDERER" "$WINDOWS_RENDERER32"; do
        rm -f "$WORK/record"
        install -m 644 "$program" "$WORK/run/opengl.exe"
        # The window is put on the server by -display; DISPLAY names one that does not exist.
        TOOL_DISPLAY=:999 start_tool -display "$DISPLAY"
        click_save_and_start; expect_exit 0
        wait_for 120 test -s "$WORK/record" || fail "$program did not run"
        { printf 'zoomed=1\ncwd=Z:%s\\run\n' "${WORK//\//\\}"; expected_config 1024 768 32 1 800 600 32; } >"$WORK/expected"
        same_bytes "$WORK/record" "$WORK/expected"
        # Wine ends the launch the tool announced once the renderer's window is up.
        local id="$(sed -n 's/^message new: ID="\([^"]*\)".*/\1/p' "$WORK/watch" | tail -1)"
        [ -n "$id" ] && wait_for 20 grep -q "^message remove: ID=\"\?$id" "$WORK/watch" ||
            fail "the launch was not completed: $(cat "$WORK/watch")"
    done
    # Without Wine's 32-bit part, hidden in a mount namespace of the tool's own, the 32-bit
    # renderer is reported and nothing starts.
    [ "$(id -u)" -eq 0 ] || skip "hiding Wine's 32-bit part and another user's program need root"
    # In a shared folder, another user has made the name Wine turns "game." into, and the one
    # Wine's command line ends 'Game "SE"' at; Wine would run their program. Nothing starts.
    mkdir -m 1777 "$WORK/share"
    local folder decoy
    for folder in 'game.:game/opengl.exe' 'Game "SE":Game'; do
        decoy="$WORK/share/${folder#*:}" folder="$WORK/share/${folder%%:*}"
        mkdir -p "$folder" "$(dirname "$decoy")"
        install -m 644 "$WINDOWS_RENDERER" "$folder/opengl.exe"
        install -m 755 -o nobody "$WINDOWS_RENDERER" "$decoy"
        [ "$(dirname "$decoy")" = "$WORK/share" ] || chown nobody "$(dirname "$decoy")"
        rm -f "$WORK/record"
        start_tool "$folder"
        click_save_and_start; dismiss_one_report; expect_exit 1
        ! wait_for 2 test -s "$WORK/record" || fail "another user's program ran beside $folder"
    done
    rm -f "$WORK/record"
    local hide='mount -t tmpfs none /usr/lib/i386-linux-gnu/wine &&
        mount --bind /dev/null /usr/lib/wine/wine && exec "$0" "$@"'
    TOOL_WRAPPER="exec unshare -m sh -c '$hide' \"\$0\" \"\$@\"" start_tool
    click_save_and_start; dismiss_one_report; expect_exit 1
    ! wait_for 2 test -s "$WORK/record" || fail "the 32-bit renderer ran"
    wineserver -k 2>/dev/null || true
}

"case_$1"
echo "PASS: $1"
