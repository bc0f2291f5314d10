#!/usr/bin/env bash
# End-to-end calendar files: "Export Tasks..." from the real program's menu and
# file chooser, then the file imported into an empty store with quillnote-data.
# Usage: scenarios_calendar.sh SCENARIO PROGRAM XHELPER OUTDIR DATATOOL

source "$(dirname "$0")/lib.sh"

DATA_TOOL=${5:?usage: scenarios_calendar.sh SCENARIO PROGRAM XHELPER OUTDIR DATATOOL}

# The UID lines of a calendar file, sorted.
uids_of() { tr -d '\r' <"$1" | grep '^UID:' | sort; }

scenario_calendar_export_menu() {
    e2e_write_tasks "$DATA" "Buy milk|2" "Call Ann||3600"
    e2e_start_and_wait_main shown
    e2e_wait_started || e2e_fail "the program did not finish starting"
    # A right press below the last row opens the window's menu; its last two
    # items are "Export Tasks..." and "Import Tasks...".
    xdotool mousemove 300 400 click 3
    e2e_require "a menu opened" e2e_wait_for 3 e2e_popup_shown
    e2e_screenshot menu
    xdotool key Up Up Return
    e2e_require "a file chooser opened" e2e_wait_for 5 e2e_other_window_shown
    local chooser out="$E2E_WORK/home/tasks.ics"
    chooser=$(e2e_first_other_window)
    e2e_screenshot file-chooser
    xdotool windowactivate --sync "$chooser" 2>/dev/null || true
    xdotool type --delay 5 "$out"
    xdotool key Return
    e2e_check "the calendar file is written" e2e_wait_for 10 test -s "$out"
    e2e_check "the chooser closes" e2e_wait_for 5 e2e_no_other_window
    e2e_check "both tasks are in it" \
        eval 'grep -q "^SUMMARY:Buy milk" "$out" && grep -q "^SUMMARY:Call Ann" "$out"'
    e2e_check "the reminder is an alarm" grep -q "^TRIGGER;VALUE=DATE-TIME:" "$out"
    e2e_close_and_expect_exit

    local fresh="$E2E_WORK/home/fresh.dat" summary
    summary=$("$DATA_TOOL" import "$fresh" "$out" 2>&1)
    e2e_check "the tool imports both into an empty store (said: $summary)" \
        test "$summary" = "2 tasks imported: 2 new, 0 updated"
    "$DATA_TOOL" export "$fresh" "$E2E_WORK/again.ics" >/dev/null
    e2e_check "the tasks keep the UIDs the program gave them" \
        test "$(uids_of "$out")" = "$(uids_of "$E2E_WORK/again.ics")"
    "$DATA_TOOL" export "$DATA" "$E2E_WORK/saved.ics" >/dev/null
    e2e_check "and the program saved those UIDs in its data file" \
        test "$(uids_of "$out")" = "$(uids_of "$E2E_WORK/saved.ics")"
}

e2e_begin "$@"
"scenario_$1"
