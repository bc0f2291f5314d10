#!/usr/bin/env bash
# End-to-end scenarios on the built program.
# Usage: scenarios.sh SCENARIO PROGRAM XHELPER OUTDIR
# Screenshots and the program's output land in OUTDIR.

source "$(dirname "$0")/lib.sh"

# Sends SIGTERM and expects the program to end cleanly: terminate_and_expect_exit WHAT
terminate_and_expect_exit() {
    kill -TERM "$APP_PID"
    e2e_wait_exit "$APP_PID" 10
    e2e_check "$1 (exit status $EXIT_RC)" test "$EXIT_RC" = 0
}

check_saved_settings() { # check_saved_settings LEFT TOP WIDTH HEIGHT
    e2e_check "settings file written" test -f "$INI"
    e2e_check "Left=$1 stored (found '$(e2e_ini_get Left)')" test "$(e2e_ini_get Left)" = "$1"
    e2e_check "Top=$2 stored (found '$(e2e_ini_get Top)')" test "$(e2e_ini_get Top)" = "$2"
    e2e_check "Width=$3 stored (found '$(e2e_ini_get Width)')" test "$(e2e_ini_get Width)" = "$3"
    e2e_check "Height=$4 stored (found '$(e2e_ini_get Height)')" test "$(e2e_ini_get Height)" = "$4"
    e2e_check "Skin=Default stored (found '$(e2e_ini_get Skin)')" test "$(e2e_ini_get Skin)" = Default
}

check_empty_data_file() {
    # Three default categories and no task.
    e2e_check "84-byte data file (found $(e2e_file_size "$DATA"))" test "$(e2e_file_size "$DATA")" = 84
}

# The fields of a WAVE header: format tag, channels, sample rate, bits per sample.
wave_format() { od -An -tu2 -j20 -N4 "$1" | tr -s ' '; od -An -tu4 -j24 -N4 "$1" | tr -d ' '; od -An -tu2 -j34 -N2 "$1" | tr -d ' '; }

scenario_first_start() {
    e2e_start_and_wait_main
    e2e_wait_viewable "$MAIN_WIN" 10 || e2e_fail "the main window is not shown"
    local skin=""
    [ -f "$APP_DIR/Skins/Default.skn" ] && skin="$APP_DIR/Skins/Default.skn"
    [ -f "$APP_DIR/skins/Default.skn" ] && skin="$APP_DIR/skins/Default.skn"
    e2e_check "default skin written to Skins/Default.skn" test -n "$skin"
    e2e_check "alarm.wav written beside the program" test -f "$APP_DIR/alarm.wav"
    e2e_check "alarm.wav is a RIFF WAVE file" \
        test "$(head -c4 "$APP_DIR/alarm.wav")$(tail -c+9 "$APP_DIR/alarm.wav" | head -c4)" = RIFFWAVE
    e2e_check "alarm.wav is PCM, 2 channels, 22050 Hz, 16 bits (found $(wave_format "$APP_DIR/alarm.wav" | tr '\n' ' '))" \
        test "$(wave_format "$APP_DIR/alarm.wav" | tr '\n' ' ')" = " 1 2 22050 16 "
    e2e_require "tray icon embedded in the tray" e2e_wait_tray_icon 5
    e2e_wait_for 5 e2e_geometry_is "$MAIN_WIN" 0 0 696 480 || true
    e2e_check "main window at 0,0 size 696x480 (found $X,$Y ${WIDTH}x$HEIGHT)" \
        test "$X,$Y,$WIDTH,$HEIGHT" = "0,0,696,480"
    e2e_check "no taskbar button (_NET_WM_STATE_SKIP_TASKBAR)" \
        e2e_has_state "$MAIN_WIN" _NET_WM_STATE_SKIP_TASKBAR
    e2e_check "not on top by default" eval '! e2e_has_state "$MAIN_WIN" _NET_WM_STATE_ABOVE'
    e2e_screenshot main-window
    e2e_close_and_expect_exit
    e2e_check "the written files stay after the close" test -f "$APP_DIR/alarm.wav"
}

# Deleted default files come back on the next start; files the user changed stay.
scenario_default_files_restored() {
    e2e_start_and_wait_main
    e2e_wait_viewable "$MAIN_WIN" 10 || e2e_fail "the main window is not shown"
    e2e_wait_started || e2e_fail "the program did not finish starting"
    e2e_close_and_expect_exit
    local skin
    skin=$(find "$APP_DIR" -maxdepth 2 -ipath "$APP_DIR/skins/Default.skn")
    e2e_require "default skin written on the first start" test -n "$skin"
    rm "$skin"
    printf 'my own alarm' >"$APP_DIR/alarm.wav"
    e2e_start_and_wait_main
    e2e_wait_viewable "$MAIN_WIN" 10 || e2e_fail "the main window is not shown"
    e2e_wait_started || e2e_fail "the program did not finish starting"
    e2e_check "default skin written again" test -f "$skin"
    e2e_check "the user's alarm.wav left alone" test "$(cat "$APP_DIR/alarm.wav")" = "my own alarm"
    e2e_close_and_expect_exit
    rm "$APP_DIR/alarm.wav"
    printf 'my own skin' >"$skin"
    e2e_start_app
    e2e_wait_main 15 || e2e_fail "no main window within 15 s"
    # The program may report the skin it cannot read; answer what it shows.
    e2e_wait_for 10 eval 'e2e_started || [ -n "$(e2e_first_other_window)" ]' ||
        e2e_fail "neither a message nor a started program within 10 s"
    e2e_screenshot damaged-skin
    e2e_answer_messages 2
    e2e_check "alarm.wav written again" \
        test "$(head -c4 "$APP_DIR/alarm.wav" 2>/dev/null)" = RIFF
    e2e_check "the user's skin file left alone" test "$(cat "$skin")" = "my own skin"
    e2e_check "the program still runs with a damaged skin file" kill -0 "$APP_PID"
    terminate_and_expect_exit "clean end"
}

scenario_close_saves() {
    e2e_start_and_wait_main
    e2e_wait_viewable "$MAIN_WIN" 10 || e2e_fail "the main window is not shown"
    e2e_wait_started || e2e_fail "the program did not finish starting"
    e2e_wait_for 5 e2e_is_managed "$MAIN_WIN" || e2e_fail "the window manager did not take the window"
    # Away from the work area's edges, so no snapping applies.
    xdotool windowmove "$MAIN_WIN" 230 170
    e2e_wait_for 5 e2e_position_is "$MAIN_WIN" 230 170 || true
    e2e_check "window moved to 230,170 (found $X,$Y)" test "$X,$Y" = "230,170"
    e2e_close_and_expect_exit
    check_saved_settings 230 170 696 480
    check_empty_data_file
}

scenario_sigterm_saves() {
    e2e_start_and_wait_main
    e2e_wait_viewable "$MAIN_WIN" 10 || e2e_fail "the main window is not shown"
    e2e_wait_started || e2e_fail "the program did not finish starting"
    terminate_and_expect_exit "SIGTERM ends the program cleanly"
    check_saved_settings 0 0 696 480
    check_empty_data_file
}

# Starts a second copy and expects it to hand over and end at once.
second_start_hands_over() {
    local before_ini before_dat start rc elapsed
    before_ini=$(e2e_checksum "$INI")
    before_dat=$(e2e_checksum "$DATA")
    start=$(e2e_now_ms)
    "$APP" >>"$E2E_WORK/second.log" 2>&1 &
    local second=$!
    e2e_wait_exit "$second" 10
    rc=$EXIT_RC
    elapsed=$(($(e2e_now_ms) - start))
    e2e_check "second start ends with status 0 (found $rc)" test "$rc" = 0
    e2e_check "second start ends within 2 s (took $elapsed ms)" test "$elapsed" -lt 2000
    e2e_require "the first instance still runs" kill -0 "$APP_PID"
    e2e_check "settings file untouched by the second start" \
        test "$(e2e_checksum "$INI")" = "$before_ini"
    e2e_check "data file untouched by the second start" \
        test "$(e2e_checksum "$DATA")" = "$before_dat"
    e2e_check "exactly one main window" \
        test "$(xdotool search --name '^main_form_quillnote$' | wc -l)" = 1
}

scenario_second_start() {
    e2e_start_and_wait_main
    e2e_wait_viewable "$MAIN_WIN" 10 || e2e_fail "the main window is not shown"
    e2e_wait_started || e2e_fail "the program did not finish starting"
    second_start_hands_over
    e2e_check "main window still shown" e2e_is_viewable "$MAIN_WIN"

    # Minimised: the second start restores it.
    xdotool windowminimize "$MAIN_WIN"
    e2e_wait_viewable "$MAIN_WIN" 5 not || e2e_fail "could not minimise the main window"
    second_start_hands_over
    e2e_check "minimised main window shown again" e2e_wait_viewable "$MAIN_WIN" 3
    e2e_check "restored, not minimised" eval '! e2e_has_state "$MAIN_WIN" _NET_WM_STATE_HIDDEN'
    e2e_check "main window is the active window" e2e_wait_for 3 e2e_is_active "$MAIN_WIN"
    e2e_screenshot raised
    e2e_close_and_expect_exit
}

scenario_second_start_hidden() {
    e2e_ini_set "Minimize on start" 1
    e2e_start_and_wait_main
    e2e_require "tray icon present" e2e_wait_tray_icon 10
    e2e_check "main window hidden at start" e2e_wait_viewable "$MAIN_WIN" 5 not
    second_start_hands_over
    e2e_check "hidden main window shown by the second start" e2e_wait_viewable "$MAIN_WIN" 3
    e2e_check "main window is the active window" e2e_wait_for 3 e2e_is_active "$MAIN_WIN"
    e2e_close_and_expect_exit
}

scenario_minimize_on_start() {
    e2e_ini_set "Minimize on start" 1
    e2e_start_and_wait_main
    e2e_require "tray icon present" e2e_wait_tray_icon 10
    e2e_check "main window hidden" e2e_wait_viewable "$MAIN_WIN" 5 not
    e2e_check "the program keeps running" kill -0 "$APP_PID"
    e2e_screenshot hidden
    # Closing while hidden still saves everything.
    terminate_and_expect_exit "SIGTERM while hidden ends the program cleanly"
    check_saved_settings 0 0 696 480
    check_empty_data_file
    e2e_check "Minimize on start kept" test "$(e2e_ini_get 'Minimize on start')" = 1
}

# A Wayland desktop (weston, headless) with XWayland: the program chooses X11 by
# itself (no QT_QPA_PLATFORM) and runs there.
scenario_wayland_desktop() {
    weston --backend=headless-backend.so --xwayland --socket=quillnote-e2e --idle-time=0 \
        >"$E2E_WORK/weston.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_require "weston's XWayland listens" \
        e2e_wait_for 10 grep -q "xserver listening on display" "$E2E_WORK/weston.log"
    DISPLAY=$(grep -o "listening on display :[0-9]*" "$E2E_WORK/weston.log" | grep -o ":[0-9]*$")
    export DISPLAY WAYLAND_DISPLAY=quillnote-e2e
    unset QT_QPA_PLATFORM
    e2e_start_and_wait_main shown
    e2e_log "main window $MAIN_WIN on XWayland $DISPLAY"
    e2e_close_and_expect_exit
}

# A left click on the tray icon brings the hidden main window back.
scenario_tray_click_shows() {
    e2e_ini_set "Minimize on start" 1
    e2e_start_and_wait_main
    e2e_require "tray icon present" e2e_wait_tray_icon 10
    e2e_require "main window hidden at start" e2e_wait_viewable "$MAIN_WIN" 5 not
    local ix iy iw ih
    read -r _ _ ix iy iw ih <<<"$(e2e_tray_icon)"
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
    e2e_check "left click on the tray icon shows the main window" e2e_wait_viewable "$MAIN_WIN" 3
    e2e_check "main window is the active window" e2e_wait_for 3 e2e_is_active "$MAIN_WIN"
    e2e_screenshot shown-from-tray
    e2e_close_and_expect_exit
}

# Opens the settings dialog through the tray icon's menu; sets DIALOG.
open_settings_dialog() {
    local icon ix iy iw ih
    read -r _ _ ix iy iw ih <<<"$(e2e_tray_icon)"
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 3
    e2e_wait_for 5 e2e_popup_shown || e2e_fail "the tray icon's menu did not open"
    e2e_screenshot tray-menu
    # Menu items: Open/Minimize, Add Task..., Settings...
    xdotool key Down Down Down Return
    e2e_wait_for 5 eval 'DIALOG=$(e2e_first_other_window); [ -n "$DIALOG" ]' ||
        e2e_fail "the settings dialog did not open from the tray menu"
    e2e_wait_for 5 e2e_is_active "$DIALOG" || e2e_fail "the settings dialog does not have the focus"
}

scenario_settings_survive_restart() {
    # Values stored by an earlier run are used on the next start...
    e2e_ini_set Left 120
    e2e_ini_set Top 90
    e2e_ini_set Width 800
    e2e_ini_set Height 520
    e2e_ini_set "Always on Top" 1
    e2e_ini_set "Sort by" 2
    e2e_start_and_wait_main
    e2e_wait_viewable "$MAIN_WIN" 10 || e2e_fail "the main window is not shown"
    e2e_wait_started || e2e_fail "the program did not finish starting"
    e2e_wait_for 5 e2e_geometry_is "$MAIN_WIN" 120 90 800 520 || true
    e2e_check "window placed at 120,90 size 800x520 (found $X,$Y ${WIDTH}x$HEIGHT)" \
        test "$X,$Y,$WIDTH,$HEIGHT" = "120,90,800,520"
    e2e_check "Always on Top applied (_NET_WM_STATE_ABOVE)" e2e_has_state "$MAIN_WIN" _NET_WM_STATE_ABOVE
    e2e_require "tray icon present" e2e_wait_tray_icon 5

    # ...and a choice made in the settings dialog is stored and used on the next start.
    open_settings_dialog
    e2e_screenshot settings-dialog
    # The dialog opens with "Start with Windows" focused; "Minimize on start" is next.
    # The keys reach the dialog in order, so Enter confirms both changes.
    xdotool key space Tab space Return
    e2e_check "Minimize on start stored when the dialog is confirmed" \
        e2e_wait_for 3 e2e_ini_is 'Minimize on start' 1
    e2e_check "Start with Windows stored" test "$(e2e_ini_get 'Start with Windows')" = 1
    local entry="$XDG_CONFIG_HOME/autostart/quillnote.desktop"
    e2e_check "autostart entry written" test -f "$entry"
    e2e_check "autostart entry starts this copy of the program" \
        grep -qxF "Exec=\"$APP\"" "$entry"
    e2e_check "Sort by kept (found '$(e2e_ini_get 'Sort by')')" test "$(e2e_ini_get 'Sort by')" = 2
    e2e_check "dialog closed by Enter" e2e_wait_for 3 eval '[ -z "$(e2e_first_other_window)" ]'
    e2e_close_and_expect_exit
    check_saved_settings 120 90 800 520

    e2e_start_and_wait_main
    e2e_check "tray icon present after restart" e2e_wait_tray_icon 10
    e2e_check "restarted hidden, as chosen in the dialog" e2e_wait_viewable "$MAIN_WIN" 5 not
    terminate_and_expect_exit "clean end"
    e2e_check "Always on Top kept" test "$(e2e_ini_get 'Always on Top')" = 1
    e2e_check "autostart entry kept" test -f "$XDG_CONFIG_HOME/autostart/quillnote.desktop"
    check_saved_settings 120 90 800 520
}

scenario_unreadable_data_file() {
    # Something is there but cannot be read as a file.
    mkdir "$DATA"
    echo "the user's things" >"$DATA/keep"
    e2e_start_app
    e2e_wait_main 15 || e2e_fail "no main window within 15 s"
    # The program tells the user; answer every message it shows.
    e2e_answer_messages 8
    e2e_check "the user was told the data file cannot be read" test "$MESSAGES" -gt 0
    e2e_screenshot after-message
    e2e_close_and_expect_exit
    e2e_check "the unreadable data file is left as it was" test -d "$DATA"
    e2e_check "its contents are untouched" test "$(cat "$DATA/keep")" = "the user's things"
    e2e_check "nothing else was written in its place" \
        test "$(find "$APP_DIR" -maxdepth 1 -name 'quillnote.dat*' | wc -l)" = 1
}

# Without a tray nothing could bring a hidden window back: "Minimize on start"
# minimises instead, and the window keeps a task-list entry to restore it from.
scenario_no_tray_minimizes() {
    e2e_ini_set "Minimize on start" 1
    e2e_start_and_wait_main
    e2e_check "main window minimised" e2e_wait_for 5 eval 'test "$(e2e_wm_state "$MAIN_WIN")" = Iconic'
    e2e_check "no tray icon anywhere" test -z "$("$E2E_XHELPER" tray-clients 2>/dev/null)"
    e2e_check "main window minimised, not hidden (WM_STATE '$(e2e_wm_state "$MAIN_WIN")')" \
        test "$(e2e_wm_state "$MAIN_WIN")" = Iconic
    e2e_check "the minimised window keeps a task-list entry (no _NET_WM_STATE_SKIP_TASKBAR)" \
        eval '! e2e_has_state "$MAIN_WIN" _NET_WM_STATE_SKIP_TASKBAR'
    e2e_screenshot minimised
    second_start_hands_over
    e2e_check "second start restores the minimised window" e2e_wait_viewable "$MAIN_WIN" 3
    e2e_close_and_expect_exit
    check_saved_settings 0 0 696 480
}

name=$1
shift
[ "$name" != no_tray_minimizes ] || export E2E_NO_TRAY=1
declare -F "scenario_$name" >/dev/null || { echo "no scenario $name" >&2; exit 2; }
e2e_begin "$name" "$@"
"scenario_$name"
