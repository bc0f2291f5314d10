#!/usr/bin/env bash
# End-to-end scenarios for faults that trapped the user or hid the tasks: a
# settings file that cannot be written, a session without a window manager, and
# a stored window position nobody can reach.
# Usage: scenarios_repairs.sh SCENARIO PROGRAM XHELPER OUTDIR

source "$(dirname "$0")/lib.sh"

expect_clean_exit() { # expect_clean_exit WHAT
    e2e_wait_exit "$APP_PID" 10
    e2e_check "$1 (exit status $EXIT_RC; 124: still running after 10 s)" test "$EXIT_RC" = 0
}

# A data file as the program writes it: the three default categories and one
# task per title, all in the first category.
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) \
    $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
scrambled() { # a length, then each byte as (255 - c) XOR 0x3C
    local text=$1 i c
    le32 ${#text}
    for ((i = 0; i < ${#text}; i++)); do
        printf -v c '%d' "'${text:i:1}"
        printf '\\x%02x' $(((255 - c) ^ 0x3C))
    done
}
write_data_file() { # write_data_file FILE TITLE...
    local file=$1 out="" title zero8 color=0 name
    shift
    zero8='\x00\x00\x00\x00\x00\x00\x00\x00'
    out+="\\x00$(le32 1)$(le32 25)\\x01$(scrambled Quillnote)"
    for name in Personal Business Other; do
        out+="\\x04$(le32 4)$(le32 $color)$(scrambled "$name")"
        color=$((color + 1))
    done
    out+='\xff'
    for title in "$@"; do
        out+="\\x00$(le32 4)$(le32 1)\\x01$(scrambled "$title")\\x02$(le32 0)"
        out+="\\x03$(le32 8)$zero8\\x04$(le32 8)$zero8\\x05$(le32 8)$zero8\\x06$(le32 0)"
        out+="\\x07$(le32 1)\\x00\\x08$(le32 1)\\x00\\x09$(le32 1)\\x00\\x0a$(le32 1)\\x00"
        out+="\\x0b$(le32 1)\\x00\\x0c$(le32 4)$(le32 0)\\xff"
    done
    printf "$out" >"$file"
}

# capture_window FILE: the main window's pixels, once two captures in a row agree
# (the window has finished painting). Fails after 10 s.
capture_window() {
    local file=$1 deadline=$(($(e2e_now_ms) + 10000)) previous="$E2E_WORK/previous.png"
    rm -f "$previous"
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        e2e_geometry "$MAIN_WIN"
        import -window root -crop "${WIDTH}x$HEIGHT+$X+$Y" +repage "$file" 2>/dev/null || true
        if [ -f "$previous" ] && [ "$(differing_pixels "$file" "$previous")" = 0 ]; then
            return 0
        fi
        cp "$file" "$previous" 2>/dev/null || true
        sleep 0.2
    done
    return 1
}

differing_pixels() { # differing_pixels A B: how many pixels differ (large when sizes do)
    local n
    n=$(compare -metric AE "$1" "$2" null: 2>&1 >/dev/null) || true
    case $n in '' | *[!0-9]*) echo 999999 ;; *) echo "$n" ;; esac
}

# The settings file turns into a folder while the program runs: closing still
# saves the tasks, tells the user once and ends.
scenario_settings_unwritable() {
    e2e_start_and_wait_main shown
    e2e_require "tray icon present" e2e_wait_tray_icon 5
    e2e_check "no data file before the close" test ! -e "$DATA"
    rm -f "$INI"
    mkdir -p "$INI"
    e2e_close_main
    local deadline=$(($(e2e_now_ms) + 8000)) message=""
    while [ -z "$message" ] && [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        message=$(e2e_first_other_window)
        [ -n "$message" ] || sleep 0.1
    done
    e2e_require "the failure is told" test -n "$message"
    e2e_screenshot message
    xdotool windowactivate --sync "$message" key Return 2>/dev/null || true
    expect_clean_exit "the program ends after the message"
    e2e_check "the tasks were saved (data file $(e2e_file_size "$DATA") bytes)" \
        test "$(e2e_file_size "$DATA")" = 84
    e2e_check "the folder in the settings file's place is left alone" test -d "$INI"
}

# The same at SIGTERM (a logout, a shutdown): nobody may be there to answer, so
# nothing waits for an answer. The tasks are saved, the failure goes to stderr,
# and the next start tells it once.
scenario_sigterm_settings_unwritable() {
    e2e_start_and_wait_main shown
    e2e_require "the program has started" e2e_wait_started
    rm -f "$INI"
    mkdir -p "$INI"
    kill -TERM "$APP_PID"
    expect_clean_exit "SIGTERM ends the program without waiting for anybody"
    e2e_check "the tasks were saved (data file $(e2e_file_size "$DATA") bytes)" \
        test "$(e2e_file_size "$DATA")" = 84
    e2e_check "stderr names the settings file and the reason" \
        grep -q "Failed to create key .*The settings file \"$INI\" cannot be written: [A-Z]" \
        "$E2E_WORK/app.log"
    local notice="$HOME/.local/state/Tolvane/Quillnote/exit-notice.txt"
    e2e_check "the failure is kept for the next start" test -s "$notice"

    rmdir "$INI"
    e2e_start_and_wait_main shown
    e2e_answer_messages 10
    e2e_check "the next start tells it once ($MESSAGES messages)" test "$MESSAGES" = 1
    e2e_check "and only once" test ! -e "$notice"
    e2e_close_and_expect_exit
}

# No window manager at all: the window is never activated, and the tasks of the
# data file show all the same.
scenario_no_window_manager() {
    # e2e_begin started jwm second (after Xvfb); this scenario runs without it.
    kill -TERM "${E2E_PIDS[1]}"
    wait "${E2E_PIDS[1]}" 2>/dev/null || true
    e2e_require "no window manager left" test -z "$("$E2E_XHELPER" clients 2>/dev/null)"

    # The picture of the window with no tasks...
    write_data_file "$DATA"
    e2e_start_and_wait_main shown
    e2e_require "the window without tasks finishes painting" capture_window "$E2E_WORK/empty.png"
    cp "$E2E_WORK/empty.png" "$E2E_OUT/$E2E_SCENARIO-empty.png"
    kill -TERM "$APP_PID"
    expect_clean_exit "SIGTERM ends the first run"

    # ...and with three tasks: the list must show them.
    write_data_file "$DATA" "Buy milk" "Call the plumber" "Water the plants"
    e2e_start_and_wait_main shown
    local deadline=$(($(e2e_now_ms) + 10000)) differ=0
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        capture_window "$E2E_WORK/tasks.png" || true
        differ=$(differing_pixels "$E2E_WORK/tasks.png" "$E2E_WORK/empty.png")
        [ "$differ" -gt 300 ] && break
        sleep 0.2
    done
    cp "$E2E_WORK/tasks.png" "$E2E_OUT/$E2E_SCENARIO-tasks.png"
    e2e_check "the list shows the tasks ($differ pixels differ from the empty list)" \
        test "$differ" -gt 300
    e2e_check "the window is the same size as without tasks" \
        test "$(identify -format %wx%h "$E2E_WORK/tasks.png")" = \
        "$(identify -format %wx%h "$E2E_WORK/empty.png")"
    kill -TERM "$APP_PID"
    expect_clean_exit "SIGTERM ends the second run"
    local dump
    dump=$("$(dirname "$E2E_PROGRAM")/quillnote-data" dump "$DATA" 2>&1 || true)
    e2e_check "the three tasks are still in the data file" \
        test "$(grep -c '"Title":"\(Buy milk\|Call the plumber\|Water the plants\)"' <<<"$dump")" = 3
}

# A stored position far off every screen and a stored size of nothing: the
# window opens on the screen at its design size; the corrected values are
# written back at the close.
scenario_offscreen_window() {
    e2e_ini_set Left 5000
    e2e_ini_set Top -3000
    e2e_ini_set Width 0
    e2e_ini_set Height -5
    e2e_start_and_wait_main shown
    local screen_w screen_h
    read -r screen_w screen_h < <(xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
    # The window manager may place the window after mapping: wait for it to settle.
    local deadline=$(($(e2e_now_ms) + 5000)) inside=""
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        e2e_geometry "$MAIN_WIN"
        if [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le "$screen_w" ] &&
            [ $((Y + HEIGHT)) -le "$screen_h" ]; then
            inside=yes
            break
        fi
        sleep 0.1
    done
    e2e_screenshot placed
    e2e_check "window inside the ${screen_w}x$screen_h screen (found $X,$Y ${WIDTH}x$HEIGHT)" \
        test -n "$inside"
    e2e_check "window at its design size 696x480 (found ${WIDTH}x$HEIGHT)" \
        test "${WIDTH}x$HEIGHT" = 696x480
    e2e_check "nothing written back before the close" test "$(e2e_ini_get Left)" = 5000
    e2e_close_main
    expect_clean_exit "the close ends the program"
    e2e_check "corrected Left stored ($(e2e_ini_get Left))" \
        test "$(e2e_ini_get Left)" -ge 0 -a "$(e2e_ini_get Left)" -le $((screen_w - 696))
    e2e_check "corrected Top stored ($(e2e_ini_get Top))" \
        test "$(e2e_ini_get Top)" -ge 0 -a "$(e2e_ini_get Top)" -le $((screen_h - 480))
    e2e_check "design size stored" test "$(e2e_ini_get Width)x$(e2e_ini_get Height)" = 696x480
}

name=$1
shift
declare -F "scenario_$name" >/dev/null || { echo "no scenario $name" >&2; exit 2; }
e2e_begin "$name" "$@"
"scenario_$name"
