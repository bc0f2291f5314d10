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
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
# E2E_NO_TRAY=1: a panel with a task list but no system tray.
dock="<Dock/>"
[ -z "${E2E_NO_TRAY:-}" ] || dock=""
printf '%s\n' "<JWM><Tray x=\"0\" y=\"-1\" height=\"30\" autohide=\"off\"><TaskList maxwidth=\"200\"/>$dock</Tray><Desktops width=\"1\" height=\"1\"/><FocusModel>click</FocusModel></JWM>" >"$work/jwmrc"
HOME="$work" jwm -f "$work/jwmrc" >/dev/null 2>&1 &
pids+=($!)
if [ -z "${E2E_NO_TRAY:-}" ]; then
    "$xhelper" tray-wait 5000
else
    "$xhelper" wm-wait 5000
fi
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"
chmod 700 "$work"
status=0
"$@" || status=$?
exit $status
