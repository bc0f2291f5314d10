#!/usr/bin/env bash
# End to end: the Sync window with a real Radicale server and the desktop's
# keyring (gnome-keyring on a session bus of the scenario's own). The account is
# typed into the window opened from the menu, syncing only by hand; "Find task
# lists" chooses the server's one list and "Sync now" sends the task. A restart
# syncing every 15 minutes syncs at start-up, with the password from the
# keyring, and brings a task added on the server.
# Usage: scenarios_sync.sh SCENARIO PROGRAM XHELPER OUTDIR DATATOOL

source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../sync/with_radicale.sh"

DATA_TOOL=${5:?usage: scenarios_sync.sh SCENARIO PROGRAM XHELPER OUTDIR DATATOOL}

start_keyring() {
    dbus-daemon --session --nofork --print-address=3 3>"$E2E_WORK/bus" 2>>"$E2E_WORK/bus.log" &
    E2E_PIDS+=($!)
    e2e_wait_for 5 test -s "$E2E_WORK/bus" || e2e_fail "the session bus did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_WORK/bus")
    export DBUS_SESSION_BUS_ADDRESS
    eval "$(printf 'keyring-pw' | gnome-keyring-daemon --unlock --components=secrets)"
    export GNOME_KEYRING_CONTROL
}

# The task list's calendar data, as another device would read it.
server_tasks() {
    curl -s -u alice:alice-pw -X REPORT -H 'Depth: 1' -H 'Content-Type: application/xml' \
        --data-binary '<c:calendar-query xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:prop><c:calendar-data/></d:prop><c:filter><c:comp-filter name="VCALENDAR"/></c:filter></c:calendar-query>' \
        "$CALDAV_LIST"
}

# Opens "Sync..." from the window's menu (a right press below the last row; the
# item is the menu's last).
open_sync_window() {
    xdotool mousemove 300 400 click 3
    e2e_require "a menu opened" e2e_wait_for 3 e2e_popup_shown
    xdotool key Up Return
    e2e_require "the Sync window opened" e2e_wait_for 5 e2e_other_window_shown
    SYNC_WIN=$(e2e_first_other_window)
    xdotool windowactivate --sync "$SYNC_WIN" 2>/dev/null || true
}

scenario_sync_window() {
    radicale_start "$E2E_WORK" || e2e_fail "Radicale did not start"
    E2E_PIDS+=("$RADICALE_PID")
    start_keyring
    e2e_write_tasks "$DATA" "Buy milk|2"
    e2e_start_and_wait_main shown
    e2e_wait_started || e2e_fail "the program did not finish starting"

    open_sync_window
    # "Only by hand" first, so the task goes with "Sync now" and nothing else.
    xdotool key alt+y End
    e2e_check "only by hand is stored" e2e_wait_for 5 e2e_ini_is SyncInterval 4
    # The server field, the account, then "Find task lists".
    xdotool key alt+s
    xdotool type --delay 5 "$CALDAV_BASE"
    xdotool key Tab && xdotool type --delay 5 alice
    xdotool key Tab && xdotool type --delay 5 alice-pw
    xdotool key alt+f
    e2e_check "Find task lists chose the server's list" \
        e2e_wait_for 10 e2e_ini_is SyncTaskList "$CALDAV_LIST"
    e2e_screenshot window-default
    e2e_check "nothing is sent before Sync now" eval '! server_tasks | grep -q "SUMMARY:Buy milk"'
    xdotool key alt+n
    e2e_check "Sync now sent the task" e2e_wait_for 15 eval 'server_tasks | grep -q "SUMMARY:Buy milk"'
    e2e_check "a copy of the tasks was kept before the first sync" test -f "$DATA.before-sync"
    e2e_check "the sync state is beside the data file" test -s "$DATA.sync"
    e2e_screenshot window-synced
    xdotool key Escape
    e2e_check "Escape closes the Sync window" e2e_wait_for 5 e2e_no_other_window
    e2e_close_and_expect_exit

    # Another device adds a task; the next start syncs on its own, the password
    # coming from the keyring.
    printf '%s\r\n' BEGIN:VCALENDAR VERSION:2.0 PRODID:-//Other//Device//EN BEGIN:VTODO \
        UID:other-1 DTSTAMP:20260105T101500Z 'SUMMARY:Call the plumber' END:VTODO \
        END:VCALENDAR >"$E2E_WORK/other.ics"
    [ "$(curl -s -o /dev/null -w '%{http_code}' -u alice:alice-pw -X PUT \
        -H 'Content-Type: text/calendar' --data-binary "@$E2E_WORK/other.ics" \
        "${CALDAV_LIST}other-1.ics")" = 201 ] || e2e_fail "the other device's task was not stored"
    mkdir -p "$APP_DIR/Skins"
    cp "$(dirname "$E2E_PROGRAM")/Skins/Dark.skn" "$APP_DIR/Skins/"
    e2e_ini_set Skin Dark
    e2e_ini_set SyncInterval 2
    e2e_start_and_wait_main shown
    e2e_wait_started || e2e_fail "the program did not finish starting again"
    e2e_check "the server's task reached the data file" \
        e2e_wait_for 15 eval '"$DATA_TOOL" dump "$DATA" | grep -q "Call the plumber"'
    open_sync_window
    e2e_screenshot window-dark
    xdotool key Escape
    e2e_close_and_expect_exit

    # The tool, given no task list, syncs another file with the window's account.
    e2e_check "the tool syncs with the window's account" \
        "$DATA_TOOL" sync "$E2E_WORK/home/other.dat"
    e2e_check "and brings the server's tasks" \
        eval '"$DATA_TOOL" dump "$E2E_WORK/home/other.dat" | grep -q "Call the plumber"'
}

e2e_begin "$@"
"scenario_$1"
