#!/usr/bin/env bash
# Runs a command inside an X session of its own: Xvfb, and jwm as window manager,
# task list and system tray. Stops both afterwards; exits with the command's status.
# Usage: [E2E_NO_TRAY=1] with-x-session.sh XHELPER command [args...]
set -euo pipefail
xhelper=$1
shift
work=$(mktemp -d /tmp/quillnote-xsession.XXXXXX)
pids=()
cleanup() {
    local pid
    for pid in $(printf '%s\n' "${pids[@]}" | tac); do
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=x-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/x-session.sh"
started=0
x_session_start "$work" "$xhelper" || started=$?
pids+=("${XSESSION_PIDS[@]}")
[ "$started" = 0 ] || exit 1
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"
chmod 700 "$work"
status=0
"$@" || status=$?
exit $status
