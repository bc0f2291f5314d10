#!/usr/bin/env bash
# Runs the installed program once as the user this script runs as: start, wait for
# the main window, close. The caller checks where the data went.
# Usage: XDG_DATA_HOME=... installed_run.sh PROGRAM XHELPER OUTDIR
source "$(dirname "$0")/lib.sh"
e2e_begin installed_package "$1" "$2" "$3"
APP=$1 # the installed program itself, not a copy
e2e_start_app
e2e_wait_main 15 || e2e_fail "no main window within 15 s"
e2e_wait_viewable "$MAIN_WIN" 10 || e2e_fail "the main window is not shown"
e2e_screenshot main-window
e2e_close_main
e2e_wait_exit "$APP_PID" 10
[ "$EXIT_RC" = 0 ] || e2e_fail "closing the main window: exit status $EXIT_RC"
