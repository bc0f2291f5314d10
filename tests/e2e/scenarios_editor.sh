#!/usr/bin/env bash
# End-to-end scenarios of the task editor: adding a task with Insert and editing
# it by a double-click, checked in the data file.
# Usage: scenarios_editor.sh SCENARIO PROGRAM XHELPER OUTDIR DATATOOL

source "$(dirname "$0")/lib.sh"

# wait_editor SECONDS: waits for a window of the program besides the main
# window (the editor); sets EDITOR_WIN.
wait_editor() {
    local deadline=$(($(e2e_now_ms) + $1 * 1000))
    EDITOR_WIN=""
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        EDITOR_WIN=$(e2e_first_other_window)
        [ -n "$EDITOR_WIN" ] && e2e_is_viewable "$EDITOR_WIN" && return 0
        sleep 0.1
    done
    return 1
}

wait_editor_closed() {
    local deadline=$(($(e2e_now_ms) + $1 * 1000))
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        [ -z "$(e2e_other_windows)" ] && return 0
        sleep 0.1
    done
    return 1
}

# wait_dump SECONDS PATTERN: waits until the data file's dump holds PATTERN.
wait_dump() {
    local deadline=$(($(e2e_now_ms) + $1 * 1000))
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        "$DATA_TOOL" dump "$DATA" 2>/dev/null | grep -qF -- "$2" && return 0
        sleep 0.1
    done
    return 1
}

# the first task's line of the dump
first_task() { "$DATA_TOOL" dump "$DATA" | grep -m1 '"Title"'; }

has_field() { first_task | grep -qF -- "$1"; }

scenario_add_and_edit_task() {
    e2e_start_and_wait_main shown
    e2e_require "start-up done (tray icon)" e2e_wait_tray_icon 10
    xdotool windowactivate --sync "$MAIN_WIN" 2>/dev/null || true
    e2e_geometry "$MAIN_WIN"
    local mx=$X my=$Y

    # Insert opens the editor; a title and Enter add the task with the defaults.
    xdotool key Insert
    e2e_require "Insert opens the task editor" wait_editor 10
    e2e_screenshot editor-new
    xdotool type --delay 30 "Buy milk"
    xdotool key Return
    e2e_require "the new task is in quillnote.dat" wait_dump 10 '"Title":"Buy milk"'
    e2e_check "the editor closed" wait_editor_closed 5
    e2e_log "stored: $(first_task)"
    local want
    for want in '"Priority":1' '"HasDueDate":0' '"ReminderOn":0' '"PlaySound":0' \
        '"SoundFile":""' '"Done":0' '"CategoryIndex":0' '"NotOverdue":1' '"Description":""'; do
        e2e_check "new task has $want" has_field "$want"
    done
    e2e_screenshot task-added

    # A double-click on its row opens it; a new title and Enter store it.
    xdotool mousemove $((mx + 200)) $((my + 58)) click --repeat 2 --delay 80 1
    e2e_require "a double-click opens the task in the editor" wait_editor 10
    e2e_screenshot editor-edit
    xdotool key ctrl+a
    xdotool type --delay 30 "Buy oat milk"
    xdotool key Return
    e2e_require "the new title is in quillnote.dat" wait_dump 10 '"Title":"Buy oat milk"'
    e2e_check "still one task" test "$("$DATA_TOOL" dump "$DATA" | grep -c '"Title"')" = 1
    e2e_check "the priority kept" has_field '"Priority":1'
    e2e_screenshot task-edited
    e2e_close_main
    e2e_wait_exit "$APP_PID" 10
    e2e_check "the program ended cleanly (status $EXIT_RC)" test "$EXIT_RC" = 0
}

# The reminder window (titled with its task's position) and its skin's buttons.
wait_reminder() { # wait_reminder SECONDS; sets REMINDER_WIN
    e2e_wait_for "$1" eval 'REMINDER_WIN=$(xdotool search --all --onlyvisible --pid "$APP_PID" --name "^[0-9]+\$" 2>/dev/null | head -n1); [ -n "$REMINDER_WIN" ]'
}
click_reminder_button() { # click_reminder_button RIGHT: OK 12, "Edit Task" 104
    e2e_geometry "$REMINDER_WIN"
    xdotool mousemove $((X + WIDTH - $1 - 42)) $((Y + HEIGHT - 12 - 14)) click 1
}

task_field() { # task_field TITLE FIELD: the field of the stored task with that title
    "$DATA_TOOL" dump "$DATA" | perl -ne 'print "$1\n" if /"Title":"\Q'"$1"'\E".*"'"$2"'":([^,}]*)/'
}
titles() { "$DATA_TOOL" dump "$DATA" | perl -ne 'print "$1\n" if /"Title":"([^"]*)"/' | sort | paste -sd,; }

# A reminder falls due while the editor is open on another task: its "Edit Task"
# must not load its task into the open editor, whose OK would then overwrite the
# first task; and the snooze stays after the editor's OK.
scenario_reminder_while_editing() {
    e2e_write_tasks "$DATA" "Buy milk" "Pay rent||4"
    e2e_start_and_wait_main shown
    e2e_require "start-up done (tray icon)" e2e_wait_tray_icon 10
    e2e_geometry "$MAIN_WIN"
    xdotool mousemove $((X + 200)) $((Y + 58)) click --repeat 2 --delay 80 1
    e2e_require "a double-click opens \"Buy milk\" in the editor" wait_editor 10
    local editor=$EDITOR_WIN
    xdotool key ctrl+a
    xdotool type --delay 30 "Buy oat milk"
    e2e_require "the reminder of \"Pay rent\" comes over the editor" wait_reminder 10
    e2e_screenshot reminder-over-editor
    local before
    before=$(e2e_checksum "$DATA")
    click_reminder_button 104
    # The open editor keeps what the user typed; the reminder waits for its answer.
    e2e_check "\"Edit Task\" leaves the reminder open" e2e_is_viewable "$REMINDER_WIN"
    click_reminder_button 12
    e2e_require "OK snoozes (the file changes)" e2e_wait_for 5 e2e_changed "$DATA" "$before"
    xdotool windowactivate --sync "$editor" key Return
    e2e_require "the editor's OK is saved" wait_dump 10 '"Title":"Buy oat milk"'
    e2e_check "both tasks are there, neither overwritten ($(titles))" test "$(titles)" = "Buy oat milk,Pay rent"
    local moment now
    moment=$(task_field "Pay rent" ReminderDate) now=$(e2e_now_days)
    e2e_check "the snooze survives the editor's OK ($moment at $now)" \
        perl -e 'exit(($ARGV[0] - $ARGV[1]) * 86400 > 240 ? 0 : 1)' "$moment" "$now"
    e2e_close_and_expect_exit
}

# A reminder falls due while "Delete Task" asks for confirmation, and its editor
# re-sorts the list: "Yes" deletes the task asked about, not the one now in its row.
scenario_reminder_while_deleting() {
    e2e_write_tasks "$DATA" "Buy milk|3" "Pay rent|1|4" "Call mum|2"
    e2e_start_and_wait_main shown
    e2e_require "start-up done (tray icon)" e2e_wait_tray_icon 10
    e2e_geometry "$MAIN_WIN"
    xdotool mousemove $((X + 200)) $((Y + 58)) click 1
    xdotool key Delete
    e2e_require "Delete asks for confirmation" wait_editor 10
    local question=$EDITOR_WIN
    e2e_require "the reminder of \"Pay rent\" comes over the question" wait_reminder 10
    click_reminder_button 104
    e2e_require "\"Edit Task\" opens the editor" \
        e2e_wait_for 5 eval '[ "$(e2e_other_windows | wc -l)" -ge 3 ]'
    local before
    before=$(e2e_checksum "$DATA")
    xdotool key Return
    e2e_require "the editor's OK re-sorts and saves" \
        e2e_wait_for 5 e2e_changed "$DATA" "$before"
    e2e_require "the reminder closed with the editor" e2e_wait_viewable "$REMINDER_WIN" 5 not
    e2e_screenshot question-after-edit
    xdotool windowactivate --sync "$question" key alt+y
    e2e_require "Yes deletes a task" e2e_wait_for 5 eval '[ "$(titles | tr , "\n" | wc -l)" = 2 ]'
    e2e_check "the task asked about is gone ($(titles))" test "$(titles)" = "Call mum,Pay rent"
    e2e_close_and_expect_exit
}

name=$1
shift
DATA_TOOL=${4:-}
[ -x "$DATA_TOOL" ] || { echo "no data tool at '$DATA_TOOL'" >&2; exit 2; }
set -- "$1" "$2" "$3"
declare -F "scenario_$name" >/dev/null || { echo "no scenario $name" >&2; exit 2; }
e2e_begin "$name" "$@"
"scenario_$name"
