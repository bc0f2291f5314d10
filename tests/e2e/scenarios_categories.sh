#!/usr/bin/env bash
# End-to-end scenarios of the categories window and the category dialog.
# Usage: scenarios_categories.sh SCENARIO PROGRAM XHELPER OUTDIR DATATOOL
# Screenshots and the program's output land in OUTDIR; DATATOOL is quillnote-data.

source "$(dirname "$0")/lib.sh"

DATA_TOOL=${5:?usage: scenarios_categories.sh SCENARIO PROGRAM XHELPER OUTDIR DATATOOL}

# wait_other_windows COUNT SECONDS: until the program shows COUNT windows besides
# the main window; sets TOP_WIN to the newest of them.
wait_other_windows() {
    local deadline=$(($(e2e_now_ms) + $2 * 1000)) all
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        all=$(e2e_other_windows)
        if [ "$(printf '%s' "$all" | grep -c .)" -eq "$1" ]; then
            TOP_WIN=$(printf '%s\n' "$all" | tail -n1)
            [ "$1" = 0 ] || e2e_wait_viewable "$TOP_WIN" 5
            return
        fi
        sleep 0.1
    done
    return 1
}

# wait_file_change PATH OLDSUM SECONDS
wait_file_change() {
    local deadline=$(($(e2e_now_ms) + $3 * 1000))
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        [ "$(e2e_checksum "$1")" != "$2" ] && return 0
        sleep 0.1
    done
    return 1
}

# Opens the categories window from the last item of the category drop-down
# ("Edit Categories..."); sets CAT_WIN. The drop-down stands catrighttab and
# catbottomtab (Default skin: 20, 30) from the client area's corner.
open_categories_window() {
    e2e_geometry "$MAIN_WIN"
    xdotool mousemove $((X + WIDTH - 1 - 20 - 72)) $((Y + HEIGHT - 1 - 30 - 10)) click 1
    e2e_wait_for 5 e2e_popup_shown || e2e_fail "the drop-down's list did not open"
    xdotool key End Return
    wait_other_windows 1 10 || e2e_fail "the categories window did not open"
    CAT_WIN=$TOP_WIN
}

# A data file: the three default categories and four tasks, two of "Business".
# Strings are stored with each byte c as (255 - c) XOR 0x3C.
write_data_file() {
    perl -e '
        sub str { my $s = shift; pack("l<", length $s) . join("", map { chr((255 - ord) ^ 0x3C) } split //, $s) }
        sub task {
            my ($title, $cat) = @_;
            pack("C l< l<", 0, 4, 1) . pack("C", 1) . str($title) . pack("C", 2) . str("")
            . join("", map { pack("C l< d<", $_, 8, 0) } 3, 4, 5) . pack("C", 6) . str("")
            . pack("C l< C", 7, 1, 1) . join("", map { pack("C l< C", $_, 1, 0) } 8 .. 11)
            . pack("C l< l<", 12, 4, $cat) . pack("C", 255)
        }
        print pack("C l< l<", 0, 1, 25), pack("C", 1), str("Quillnote");
        my $i = 0;
        print pack("C l< l<", 4, 4, $i++), str($_) for "Personal", "Business", "Other";
        print pack("C", 255);
        print task("Call the bank", 0), task("Quarterly report", 1),
              task("Water the plants", 2), task("Budget review", 1);
    ' >"$DATA"
}

# quillnote-data's view of the data file (JSON, one line per category or task).
dump_data() { "$DATA_TOOL" dump "$DATA"; }

scenario_categories_add() {
    e2e_start_and_wait_main shown
    open_categories_window
    e2e_screenshot categories-window
    # The skin's "AddButton" (10 from the left, 12 from the bottom, 30 x 28).
    e2e_geometry "$CAT_WIN"
    xdotool mousemove $((X + 25)) $((Y + HEIGHT - 26)) click 1
    wait_other_windows 2 10 || e2e_fail "the category dialog did not open"
    local dialog=$TOP_WIN
    # The name field takes the focus when the dialog is activated.
    e2e_wait_for 5 e2e_is_active "$dialog" ||
        e2e_fail "the category dialog is not active"
    e2e_screenshot category-dialog
    # A new name, then the fourth mark with the arrow keys, then Enter (OK).
    xdotool key ctrl+a type Travel
    xdotool key Tab Right Right Right Return
    e2e_check "the dialog closed" e2e_wait_viewable "$dialog" 5 not
    e2e_screenshot categories-window-added
    xdotool key Escape
    wait_other_windows 0 5 || e2e_fail "Escape did not close the categories window"
    e2e_close_and_expect_exit
    local dump
    dump=$(dump_data)
    e2e_check "quillnote.dat holds Travel with mark 3 (found: $dump)" \
        grep -q '"Name": *"Travel", *"ColorIndex": *3[,}]' <<<"$dump"
    e2e_check "four categories" test "$(grep -c '"ColorIndex"' <<<"$dump")" = 4
}

scenario_categories_delete_with_tasks() {
    write_data_file
    e2e_start_and_wait_main shown
    local before
    before=$(e2e_checksum "$DATA")
    open_categories_window
    # Row 1 ("Business"): a click on row 0 (the list starts at tasklefttab 7,
    # tasktoptab 11 in the client area, 37 below the window's top), then Down;
    # Delete, and "Yes" (Enter) in the question.
    e2e_geometry "$CAT_WIN"
    xdotool mousemove $((X + 40)) $((Y + 37 + 11 + 4)) click 1
    xdotool key Down Delete
    wait_other_windows 2 10 || e2e_fail "no question before deleting"
    e2e_screenshot delete-question
    xdotool key Return
    e2e_require "quillnote.dat written at once" wait_file_change "$DATA" "$before" 10
    local dump
    dump=$(dump_data)
    e2e_check "the Business tasks are gone (found: $dump)" \
        eval '! grep -q "Quarterly report\|Budget review" <<<"$dump"'
    e2e_check "the other tasks stay" grep -q "Water the plants" <<<"$dump"
    e2e_check "the other tasks stay" grep -q "Call the bank" <<<"$dump"
    e2e_check "Business is gone" eval '! grep -q Business <<<"$dump"'
    e2e_screenshot categories-window-deleted
    xdotool key Escape
    wait_other_windows 0 5 || e2e_fail "Escape did not close the categories window"
    e2e_close_and_expect_exit
}

e2e_begin "$@"
"scenario_$1"
