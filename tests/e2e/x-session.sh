# Sourced by the scripts that need an X session of their own: Xvfb, and jwm as
# window manager, task list and system tray.
#
# x_session_start WORK XHELPER [Xvfb options...]: starts both, with their files in
# WORK, exports DISPLAY, and appends their process ids (Xvfb first, then jwm) to
# XSESSION_PIDS. Returns non-zero with a message when either does not come up.
# E2E_NO_TRAY=1: a panel with a task list but no system tray.
#
# Xvfb runs with -noreset: by default it resets when its last client leaves, and a
# client connecting during that reset is dropped (a program started right after
# the window manager was stopped would die connecting).
XSESSION_PIDS=()

x_session_start() {
    local work=$1 xhelper=$2
    shift 2
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset "$@" \
        5>"$work/display" >"$work/xvfb.log" 2>&1 &
    XSESSION_PIDS+=($!)
    local _
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
    [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(head -n1 "$work/display")"

    local dock="<Dock/>"
    [ -z "${E2E_NO_TRAY:-}" ] || dock=""
    printf '%s\n' "<JWM><Tray x=\"0\" y=\"-1\" height=\"30\" autohide=\"off\"><TaskList maxwidth=\"200\"/>$dock</Tray><Desktops width=\"1\" height=\"1\"/><FocusModel>click</FocusModel></JWM>" >"$work/jwmrc"
    HOME="$work" jwm -f "$work/jwmrc" >"$work/jwm.log" 2>&1 &
    XSESSION_PIDS+=($!)
    if [ -z "${E2E_NO_TRAY:-}" ]; then
        "$xhelper" tray-wait 5000 || { echo "jwm's tray did not appear" >&2; return 1; }
    else
        "$xhelper" wm-wait 5000 || { echo "jwm did not start" >&2; return 1; }
        if "$xhelper" tray-wait 100 2>/dev/null; then
            echo "a tray exists though none was wanted" >&2
            return 1
        fi
    fi
}
