#!/usr/bin/env bash
# End to end: what a screen reader reads. The program runs on the accessibility
# bus (AT-SPI) of a session bus of the scenario's own; access_walk.py walks its
# task list and categories window as a screen reader would.
# Usage: scenarios_access.sh SCENARIO PROGRAM XHELPER OUTDIR DATATOOL

source "$(dirname "$0")/lib.sh"

# The accessibility bus starts when asked for its address. GSETTINGS_BACKEND=memory:
# nothing switches accessibility on for the whole account.
start_accessibility_bus() {
    export GSETTINGS_BACKEND=memory QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    dbus-daemon --session --nofork --print-address=3 3>"$E2E_WORK/bus" 2>>"$E2E_WORK/bus.log" &
    E2E_PIDS+=($!)
    e2e_wait_for 5 test -s "$E2E_WORK/bus" || e2e_fail "the session bus did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_WORK/bus")
    export DBUS_SESSION_BUS_ADDRESS
    dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null || e2e_fail "the accessibility bus did not start"
}

scenario_access_lists() {
    e2e_write_tasks "$DATA" "Buy milk|1" "Write report|2" "Call mom|4" "Old thing|9"
    # The last task is done (its Done flag, tag 0x0B, comes before the category).
    perl -0777 -pi -e 's/(.*)\x0B\x01\x00\x00\x00\x00\x0C/$1\x0B\x01\x00\x00\x00\x01\x0C/s' "$DATA"
    e2e_start_and_wait_main shown
    e2e_wait_started 10 || e2e_fail "the program did not finish starting"
    /usr/bin/python3 "$(dirname "$0")/access_walk.py" "$APP_PID" "$E2E_OUT/$E2E_SCENARIO" ||
        e2e_fail "the screen reader read something else"
    e2e_wait_for 5 e2e_no_other_window || e2e_fail "Escape did not close the categories window"
    e2e_close_and_expect_exit
}

e2e_begin "$@"
start_accessibility_bus
"scenario_$1"
