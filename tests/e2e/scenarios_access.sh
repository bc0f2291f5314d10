#!/usr/bin/env bash
# End-to-end scenarios of what a screen reader reads: the program on the
# accessibility bus (AT-SPI) of a session bus of the scenario's own, its lists
# walked by access_walk.py as a screen reader would.
# Usage: scenarios_access.sh SCENARIO PROGRAM XHELPER OUTDIR DATATOOL

source "$(dirname "$0")/lib.sh"

# The session bus, and the accessibility bus started on it by asking for its
# address. GSETTINGS_BACKEND=memory: nothing switches accessibility on for the
# whole account; the program is told by QT_LINUX_ACCESSIBILITY_ALWAYS_ON.
start_accessibility_bus() {
    export GSETTINGS_BACKEND=memory
    dbus-daemon --session --nofork --print-address=3 3>"$E2E_WORK/bus" 2>>"$E2E_WORK/bus.log" &
    E2E_PIDS+=($!)
    e2e_wait_for 5 test -s "$E2E_WORK/bus" || e2e_fail "the session bus did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_WORK/bus")
    export DBUS_SESSION_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null || e2e_fail "the accessibility bus did not start"
}

walk() {
    /usr/bin/python3 "$(dirname "$0")/access_walk.py" "$1" "$APP_PID" "$E2E_OUT/$E2E_SCENARIO" ||
        e2e_fail "what the screen reader reads of the $1"
}

scenario_access_task_list() {
    e2e_write_tasks "$DATA" "Buy milk|1" "Write report|2" "Call mom|4" "Old thing|9"
    # The last task is done (its Done flag, tag 0x0B, is followed by the category).
    perl -0777 -pi -e 's/(.*)\x0B\x01\x00\x00\x00\x00\x0C/$1\x0B\x01\x00\x00\x00\x01\x0C/s' "$DATA"
    e2e_start_and_wait_main shown
    e2e_wait_started 10 || e2e_fail "the program did not finish starting"
    walk tasks
    e2e_close_and_expect_exit
}

scenario_access_categories() {
    e2e_start_and_wait_main shown
    e2e_wait_started 10 || e2e_fail "the program did not finish starting"
    # "Edit Categories...", the drop-down's last item (Default skin: 20 from the
    # client area's right, 30 from its bottom).
    e2e_geometry "$MAIN_WIN"
    xdotool mousemove $((X + WIDTH - 1 - 20 - 72)) $((Y + HEIGHT - 1 - 30 - 10)) click 1
    e2e_wait_for 5 e2e_popup_shown || e2e_fail "the drop-down's list did not open"
    xdotool key End Return
    e2e_wait_for 10 e2e_other_window_shown || e2e_fail "the categories window did not open"
    walk categories
    xdotool key Escape
    e2e_wait_for 5 e2e_no_other_window || e2e_fail "Escape did not close the categories window"
    e2e_close_and_expect_exit
}

e2e_begin "$@"
start_accessibility_bus
"scenario_$1"
