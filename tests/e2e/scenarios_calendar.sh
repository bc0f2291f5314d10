#!/usr/bin/env bash
# End-to-end calendar files: "Export Tasks..." and "Import Tasks..." from the real
# program's menu and file chooser, then the export imported into an empty store
# with quillnote-data.
# Usage: scenarios_calendar.sh SCENARIO PROGRAM XHELPER OUTDIR DATATOOL

source "$(dirname "$0")/lib.sh"

DATA_TOOL=${5:?usage: scenarios_calendar.sh SCENARIO PROGRAM XHELPER OUTDIR DATATOOL}

# The UID lines of a calendar file, sorted.
uids_of() { tr -d '\r' <"$1" | grep '^UID:' | sort; }

# choose_from_menu N PATH: the window's menu (a right press below the last row),
# its Nth item from the end before "Sync..." (1 "Import Tasks...", 2 "Export
# Tasks..."; Undo and Redo are greyed out and skipped), then PATH
# typed into the file chooser.
choose_from_menu() {
    xdotool mousemove 300 400 click 3
    e2e_require "a menu opened" e2e_wait_for 3 e2e_popup_shown
    [ "$1" = 2 ] && e2e_screenshot menu
    xdotool key $(printf 'Up %.0s' $(seq $(($1 + 1)))) Return
    e2e_require "a file chooser opened" e2e_wait_for 5 e2e_other_window_shown
    [ "$1" = 2 ] && e2e_screenshot file-chooser
    xdotool windowactivate --sync "$(e2e_first_other_window)" 2>/dev/null || true
    xdotool type --delay 5 "$2"
    xdotool key Return
}

scenario_calendar_export_menu() {
    e2e_write_tasks "$DATA" "Buy milk|2" "Call Ann||3600"
    e2e_start_and_wait_main shown
    e2e_wait_started || e2e_fail "the program did not finish starting"
    local out="$E2E_WORK/home/tasks.ics" in="$E2E_WORK/home/garden.ics" before
    choose_from_menu 2 "$out"
    e2e_check "the calendar file is written" e2e_wait_for 10 test -s "$out"
    e2e_check "the chooser closes" e2e_wait_for 5 e2e_no_other_window
    e2e_check "both tasks are in it" \
        eval 'grep -q "^SUMMARY:Buy milk" "$out" && grep -q "^SUMMARY:Call Ann" "$out"'
    e2e_check "the reminder is an alarm" grep -q "^TRIGGER;VALUE=DATE-TIME:" "$out"

    # Importing a task of a new category saves the list and tells what came in.
    printf '%s\r\n' BEGIN:VCALENDAR VERSION:2.0 PRODID:-//Hand//Made//EN BEGIN:VTODO UID:g-1 \
        DTSTAMP:20260105T101500Z 'SUMMARY:Plant tulips' CATEGORIES:Garden END:VTODO \
        END:VCALENDAR >"$in"
    before=$(e2e_checksum "$DATA")
    choose_from_menu 1 "$in"
    e2e_check "the data file is saved" e2e_wait_for 10 e2e_changed "$DATA" "$before"
    e2e_answer_messages 5
    e2e_check "one summary was shown (found $MESSAGES)" test "$MESSAGES" = 1
    e2e_check "the task and its new category are in the data file" \
        eval '"$DATA_TOOL" dump "$DATA" | grep -q "Plant tulips.*\"CategoryIndex\":3" &&
              "$DATA_TOOL" dump "$DATA" | grep -q "\"Name\":\"Garden\""'
    e2e_close_and_expect_exit

    local fresh="$E2E_WORK/home/fresh.dat" summary
    summary=$("$DATA_TOOL" import "$fresh" "$out" 2>&1)
    e2e_check "the tool imports both into an empty store (said: $summary)" \
        test "$summary" = "2 tasks imported: 2 new, 0 updated"
    "$DATA_TOOL" export "$fresh" "$E2E_WORK/again.ics" >/dev/null
    e2e_check "the tasks keep the UIDs the program gave them" \
        test "$(uids_of "$out")" = "$(uids_of "$E2E_WORK/again.ics")"
    "$DATA_TOOL" export "$DATA" --category Personal "$E2E_WORK/saved.ics" >/dev/null
    e2e_check "and the program saved those UIDs in its data file" \
        test "$(uids_of "$out")" = "$(uids_of "$E2E_WORK/saved.ics")"
}

# The first task's due date in the data file, in days.
due_of_first() { "$DATA_TOOL" dump "$DATA" | grep -o '"DueDate":[0-9.-]*' | head -n1 | cut -d: -f2; }

scenario_calendar_repeat_tick() {
    local in="$E2E_WORK/weekly.ics" before
    printf '%s\r\n' BEGIN:VCALENDAR VERSION:2.0 PRODID:-//Hand//Made//EN BEGIN:VTODO UID:w-1 \
        DTSTAMP:20260105T101500Z 'SUMMARY:Water the plants' "DUE;VALUE=DATE:$(date +%Y%m%d)" \
        RRULE:FREQ=WEEKLY END:VTODO END:VCALENDAR >"$in"
    "$DATA_TOOL" import "$DATA" "$in" >/dev/null || e2e_fail "the weekly task was not imported"
    before=$(due_of_first)
    e2e_start_and_wait_main shown
    e2e_wait_started || e2e_fail "the program did not finish starting"
    e2e_geometry "$MAIN_WIN"
    e2e_screenshot before-tick
    # The check box of the first row.
    xdotool mousemove $((X + 16)) $((Y + 55)) click 1
    e2e_check "the due date moved a week on, in the data file" \
        e2e_wait_for 10 eval 'test "$(due_of_first)" = "$((before + 7))"'
    e2e_screenshot after-tick
    e2e_check "and the task is open, still weekly" \
        eval '"$DATA_TOOL" dump "$DATA" | grep -q "\"Done\":0.*\"RepeatRule\":\"FREQ=WEEKLY\""'
    e2e_close_and_expect_exit
}

e2e_begin "$@"
"scenario_$1"
