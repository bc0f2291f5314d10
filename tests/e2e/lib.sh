# Shared by the end-to-end scenarios: an X session of our own (Xvfb, and jwm as
# window manager, task list and system tray), a fresh copy of the program in its
# own folder with its own settings and runtime folders, and helpers to drive and
# inspect it. Every process started here is stopped on exit.
#
# Needs: Xvfb, jwm, xdotool, xwininfo (x11-utils), import (imagemagick), and the
# e2e-xhelper program built beside the tests.

set -euo pipefail

# shellcheck source=x-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/x-session.sh"

E2E_PIDS=()
APP_PID=""
MAIN_WIN=""

e2e_log() { echo "[e2e $(date +%T.%3N)] $*" >&2; }

e2e_fail() {
    e2e_log "FAIL: $*"
    e2e_screenshot failure || true
    exit 1
}

# e2e_check "what" command...: a failed check is reported and fails the scenario,
# which goes on so one run shows every difference.
E2E_FAILED=""
e2e_check() {
    local what=$1
    shift
    if "$@"; then
        e2e_log "ok: $what"
    else
        e2e_log "FAIL: $what"
        [ -n "$E2E_FAILED" ] || e2e_screenshot failure || true
        E2E_FAILED=yes
    fi
}

# e2e_require "what" command...: the rest of the scenario depends on it.
e2e_require() {
    local what=$1
    shift
    if "$@"; then e2e_log "ok: $what"; else e2e_fail "$what"; fi
}

# e2e_begin SCENARIO PROGRAM XHELPER OUTDIR
e2e_begin() {
    E2E_SCENARIO=$1 E2E_PROGRAM=$2 E2E_XHELPER=$3 E2E_OUT=$4
    mkdir -p "$E2E_OUT"
    rm -f "$E2E_OUT/$E2E_SCENARIO"-*.png "$E2E_OUT/$E2E_SCENARIO.log"
    E2E_WORK=$(mktemp -d /tmp/quillnote-e2e.XXXXXX)
    trap e2e_cleanup EXIT
    [ -x "$E2E_PROGRAM" ] || e2e_fail "no program at $E2E_PROGRAM"

    local started=0
    x_session_start "$E2E_WORK" "$E2E_XHELPER" || started=$?
    E2E_PIDS+=("${XSESSION_PIDS[@]}")
    [ "$started" = 0 ] || e2e_fail "no X session"

    # The program in a folder of its own, as a user would install it.
    APP_DIR="$E2E_WORK/app"
    mkdir -p "$APP_DIR" "$E2E_WORK/config" "$E2E_WORK/runtime" "$E2E_WORK/home"
    chmod 700 "$E2E_WORK/runtime"
    cp "$E2E_PROGRAM" "$APP_DIR/quillnote"
    # The sound module the program opens on its first sound, beside it as in the build.
    if [ -f "$(dirname "$E2E_PROGRAM")/quillnote-sound" ]; then
        cp "$(dirname "$E2E_PROGRAM")/quillnote-sound" "$APP_DIR/"
    fi
    # The font configuration installed beside the program (not the skins: the
    # program writes its default skin itself).
    if [ -d "$(dirname "$E2E_PROGRAM")/fonts" ]; then
        cp -r "$(dirname "$E2E_PROGRAM")/fonts" "$APP_DIR/fonts"
    fi
    APP="$APP_DIR/quillnote"
    DATA="$APP_DIR/quillnote.dat"
    INI="$E2E_WORK/config/Tolvane/Quillnote.ini"
    export HOME="$E2E_WORK/home" XDG_CONFIG_HOME="$E2E_WORK/config"
    export XDG_RUNTIME_DIR="$E2E_WORK/runtime" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 LANG=C.UTF-8
    # No session bus: the tray icon goes through the X11 tray, as on a plain desktop.
    unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
    export ASAN_OPTIONS=detect_leaks=0
    e2e_log "scenario $E2E_SCENARIO on $DISPLAY in $E2E_WORK"
}

e2e_cleanup() {
    local rc=$?
    local pid
    if [ $rc -eq 0 ] && [ -n "$E2E_FAILED" ]; then rc=1; fi
    [ -f "$E2E_WORK/app.log" ] && cp "$E2E_WORK/app.log" "$E2E_OUT/$E2E_SCENARIO.log" || true
    # A failing run shows what the program and the X server said: the test's
    # output is often all there is to read.
    if [ $rc -ne 0 ]; then
        local log
        for log in app.log xvfb.log; do
            [ -s "$E2E_WORK/$log" ] || continue
            e2e_log "last lines of $log:"
            tail -n 25 "$E2E_WORK/$log" >&2 || true
        done
    fi
    # The program first (it may still want the X server), then jwm, then Xvfb.
    for pid in $(printf '%s\n' "${E2E_PIDS[@]}" | tac); do
        kill -TERM "$pid" 2>/dev/null || true
        e2e_watchdog 3 kill -KILL "$pid"
        local watchdog=$!
        wait "$pid" 2>/dev/null || true
        kill "$watchdog" 2>/dev/null || true
        wait "$watchdog" 2>/dev/null || true
    done
    [ -n "${E2E_KEEP:-}" ] || rm -rf "$E2E_WORK"
    if [ $rc -eq 0 ]; then e2e_log "PASS: $E2E_SCENARIO"; else e2e_log "FAILED: $E2E_SCENARIO"; fi
    exit $rc
}

e2e_screenshot() { # e2e_screenshot NAME
    import -window root "$E2E_OUT/$E2E_SCENARIO-$1.png" 2>/dev/null
}

# Starts the program in the background; APP_PID is its process id.
e2e_start_app() {
    "$APP" >>"$E2E_WORK/app.log" 2>&1 &
    APP_PID=$!
    E2E_PIDS+=("$APP_PID")
    e2e_log "started the program, pid $APP_PID"
}

# e2e_start_and_wait_main [shown]: starts the program and waits for its main window
# (MAIN_WIN); with "shown", until the window is on screen too.
e2e_start_and_wait_main() {
    e2e_start_app
    e2e_wait_main 15 || e2e_fail "no main window (window text main_form_quillnote) within 15 s"
    [ "${1:-}" != shown ] || e2e_wait_viewable "$MAIN_WIN" 10 || e2e_fail "the main window is not shown"
}

# Asks the main window to close and expects the program to end cleanly.
e2e_close_and_expect_exit() {
    e2e_close_main
    e2e_wait_exit "$APP_PID" 10
    [ "$EXIT_RC" = 0 ] ||
        e2e_fail "closing the main window: exit status $EXIT_RC (124: still running after 10 s)"
}

# e2e_watchdog SECONDS command...: runs the command in the background after a delay
# unless the watchdog ($!) is killed first. Its sleep goes with it, so no stray
# process keeps the test's output open.
e2e_watchdog() {
    local seconds=$1
    shift
    (
        sleeper=""
        trap '[ -z "$sleeper" ] || kill "$sleeper" 2>/dev/null; exit 0' TERM
        sleep "$seconds" &
        sleeper=$!
        wait "$sleeper"
        "$@" 2>/dev/null || true
    ) &
}

e2e_kill_late() { # the program did not end in time: keep a picture, then kill it
    if kill -0 "$1" 2>/dev/null; then
        e2e_screenshot "still-running-$1" || true
        touch "$E2E_WORK/killed.$1"
        kill -KILL "$1" 2>/dev/null || true
    fi
}

# e2e_wait_exit PID SECONDS: waits for the process (a child of this shell: never
# call it inside $(...)); sets EXIT_RC to its exit status, or to 124 when it had to
# be killed because it did not end in time.
e2e_wait_exit() {
    local pid=$1 seconds=$2
    EXIT_RC=0
    rm -f "$E2E_WORK/killed.$pid"
    e2e_watchdog "$seconds" e2e_kill_late "$pid"
    local watchdog=$!
    wait "$pid" || EXIT_RC=$?
    kill "$watchdog" 2>/dev/null || true
    wait "$watchdog" 2>/dev/null || true
    if [ -e "$E2E_WORK/killed.$pid" ]; then EXIT_RC=124; fi
}

# Milliseconds since the epoch.
e2e_now_ms() { echo $(($(date +%s%N) / 1000000)); }

# e2e_wait_for SECONDS command...: runs the command until it succeeds; fails when
# SECONDS (whole seconds) pass first. Every wait in a scenario is one of these (or
# a helper built on it), never a fixed sleep.
e2e_wait_for() {
    local deadline=$(($(e2e_now_ms) + $1 * 1000))
    shift
    until "$@"; do
        [ "$(e2e_now_ms)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# e2e_find_main [PID]: the program's main window (mapped or not), found by its
# window text; empty when there is none.
e2e_find_main() {
    local pid=${1:-$APP_PID}
    xdotool search --all --pid "$pid" --name '^main_form_quillnote$' 2>/dev/null | head -n1 || true
}

# e2e_wait_main SECONDS: waits until the main window exists; sets MAIN_WIN.
e2e_wait_main() {
    local deadline=$(($(e2e_now_ms) + $1 * 1000))
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        MAIN_WIN=$(e2e_find_main)
        [ -n "$MAIN_WIN" ] && return 0
        sleep 0.1
    done
    return 1
}

e2e_is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

e2e_is_active() { test "$(xdotool getactivewindow 2>/dev/null)" = "$1"; }

# e2e_geometry_is WIN X Y WIDTH HEIGHT (sets X, Y, WIDTH, HEIGHT as e2e_geometry)
e2e_geometry_is() {
    e2e_geometry "$1"
    test "$X,$Y,$WIDTH,$HEIGHT" = "$2,$3,$4,$5"
}

# e2e_position_is WIN X Y (sets X, Y, WIDTH, HEIGHT as e2e_geometry)
e2e_position_is() {
    e2e_geometry "$1"
    test "$X,$Y" = "$2,$3"
}

# True once the window manager has framed and shown the window (WM_STATE Normal).
e2e_is_managed() { e2e_is_viewable "$1" && test "$(e2e_wm_state "$1")" = Normal; }

# The program has finished starting: its tray icon is in the tray, put there by
# the window's first activation, which also reads the data file. Without a tray,
# the main window is managed by the window manager (shown or minimised).
e2e_started() {
    if [ -z "${E2E_NO_TRAY:-}" ]; then
        [ -n "$(e2e_tray_icon)" ]
    else
        case $(e2e_wm_state "$MAIN_WIN") in Normal | Iconic) return 0 ;; *) return 1 ;; esac
    fi
}

e2e_wait_started() { e2e_wait_for "${1:-10}" e2e_started; }

# e2e_answer_messages SECONDS: presses Enter on every window of the program other
# than the main window, each as it appears, until none is left; waits up to SECONDS
# for the first, and up to a second for each next one. Sets MESSAGES to the number
# answered.
e2e_answer_messages() {
    local deadline=$(($(e2e_now_ms) + $1 * 1000)) w
    MESSAGES=0
    while :; do
        w=$(e2e_first_other_window)
        if [ -z "$w" ]; then
            [ "$(e2e_now_ms)" -lt "$deadline" ] || return 0
            sleep 0.05
            continue
        fi
        [ "$MESSAGES" != 0 ] || e2e_screenshot message || true
        MESSAGES=$((MESSAGES + 1))
        xdotool windowactivate --sync "$w" key Return 2>/dev/null || true
        e2e_wait_for 5 eval "! e2e_is_viewable $w" || e2e_fail "message window $w stays open"
        deadline=$(($(e2e_now_ms) + 1000))
    done
}

# e2e_wait_viewable WIN SECONDS [not]
e2e_wait_viewable() {
    local win=$1 deadline=$(($(e2e_now_ms) + $2 * 1000)) want=${3:-}
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        if [ -z "$want" ] && e2e_is_viewable "$win"; then return 0; fi
        if [ "$want" = not ] && ! e2e_is_viewable "$win"; then return 0; fi
        sleep 0.1
    done
    return 1
}

# Sets X, Y, WIDTH, HEIGHT of a window in root coordinates.
e2e_geometry() {
    local line
    X="" Y="" WIDTH="" HEIGHT=""
    while IFS= read -r line; do
        case $line in
        "  Absolute upper-left X:"*) X=${line##* } ;;
        "  Absolute upper-left Y:"*) Y=${line##* } ;;
        "  Width:"*) WIDTH=${line##* } ;;
        "  Height:"*) HEIGHT=${line##* } ;;
        esac
    done < <(xwininfo -id "$1")
}

# The program's tray icon: "window pid x y width height", empty when none.
e2e_tray_icon() {
    local pid=${1:-$APP_PID}
    "$E2E_XHELPER" tray-clients | awk -v p="$pid" '$2 == p && !done { print; done = 1 }'
}

e2e_wait_tray_icon() { # e2e_wait_tray_icon SECONDS
    local deadline=$(($(e2e_now_ms) + $1 * 1000))
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        [ -n "$(e2e_tray_icon)" ] && return 0
        sleep 0.1
    done
    return 1
}

e2e_has_state() { "$E2E_XHELPER" state "$1" | grep -qx "$2"; }

# The ICCCM state of a client window: Normal, Iconic or Withdrawn.
e2e_wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | awk '/window state:/ { print $3 }'; }

# Shown top-level windows of the program other than the main window (dialogs,
# message boxes), from the window manager's client list.
e2e_other_windows() {
    "$E2E_XHELPER" clients |
        awk -v p="$APP_PID" -v m="$MAIN_WIN" '$2 == p && $3 == 1 && $1 != m { print $1 }'
}

# The program's shown pop-ups (menus, a drop-down's list; not tooltips, not the
# tray icon): "window width height" each.
e2e_popups() { "$E2E_XHELPER" popups "${1:-$APP_PID}"; }

e2e_popup_shown() { test -n "$(e2e_popups)"; }

# The first of them, or nothing.
e2e_first_other_window() {
    local all
    all=$(e2e_other_windows)
    echo "${all%%$'\n'*}"
}

# Conditions to wait for: a dialog of the program is shown, or none is.
e2e_other_window_shown() { test -n "$(e2e_first_other_window)"; }
e2e_no_other_window() { test -z "$(e2e_first_other_window)"; }

# Asks the main window to close as the window manager's close button does.
e2e_close_main() { "$E2E_XHELPER" close "$MAIN_WIN"; }

# Settings file access. QSettings writes names with spaces as %20.
e2e_ini_key() { printf '%s' "$1" | sed 's/ /%20/g'; }

e2e_ini_get() {
    [ -f "$INI" ] || return 0
    local key
    key=$(e2e_ini_key "$1")
    awk -F= -v k="$key" '/^\[/ { g = ($0 == "[General]") } g && $1 == k { sub(/^[^=]*=/, ""); print; exit }' "$INI"
}

e2e_ini_is() { test "$(e2e_ini_get "$1")" = "$2"; } # e2e_ini_is NAME VALUE

e2e_ini_set() { # e2e_ini_set NAME VALUE (the program must not be running)
    mkdir -p "$(dirname "$INI")"
    [ -f "$INI" ] || printf '[General]\n' >"$INI"
    local key tmp
    key=$(e2e_ini_key "$1")
    tmp=$(mktemp)
    awk -F= -v k="$key" -v v="$2" '
        /^\[/ { if (g && !done) { print k "=" v; done = 1 } g = ($0 == "[General]") }
        g && $1 == k { if (!done) print k "=" v; done = 1; next }
        { print }
        END { if (!done) print k "=" v }' "$INI" >"$tmp"
    mv "$tmp" "$INI"
}

# Now as the program counts it: days since 1899-12-30 in local time.
e2e_now_days() {
    perl -e 'my ($o) = @ARGV; my $z = ($o =~ /^([+-])(\d\d)(\d\d)$/) ? ($1 eq "-" ? -1 : 1) * ($2 * 3600 + $3 * 60) : 0;
             printf "%.8f\n", (time + $z) / 86400 + 25569;' "$(date +%z)"
}

# e2e_write_tasks FILE TASK...: a data file with the three default categories and
# one task per TASK, "Title[|due in days[|reminder in seconds]]" (an empty field:
# none), all in "Personal", with no sound.
e2e_write_tasks() {
    local file=$1
    shift
    perl -e '
        my ($path, $now, @tasks) = @ARGV;
        sub str { my $s = shift; pack("l<", length $s) . join("", map { chr((255 - ord $_) ^ 0x3C) } split //, $s) }
        sub date { pack("C l< d<", $_[0], 8, $_[1]) }
        sub flag { pack("C l< C", $_[0], 1, $_[1]) }
        my $d = pack("C l< l<", 0, 1, 25) . "\x01" . str("Quillnote");
        my $i = 0;
        $d .= pack("C l< l<", 4, 4, $i++) . str($_) for qw(Personal Business Other);
        $d .= "\xFF";
        for (@tasks) {
            my ($title, $due, $remind) = split /\|/, $_, -1;
            my $hasDue = defined $due && $due ne "";
            my $hasReminder = defined $remind && $remind ne "";
            my $moment = $hasReminder ? $now + $remind / 86400 : 0;
            $d .= pack("C l< l<", 0, 4, 1) . "\x01" . str($title) . "\x02" . str("");
            $d .= date(3, $hasDue ? int($now) + $due : 0) . date(4, $moment) . date(5, $moment);
            $d .= "\x06" . str("") . flag(7, 1) . flag(8, 0) . flag(9, $hasReminder ? 1 : 0);
            $d .= flag(10, $hasDue ? 1 : 0) . flag(11, 0) . pack("C l< l<", 12, 4, 0) . "\xFF";
        }
        open(my $f, ">:raw", $path) or die; print $f $d;' "$file" "$(e2e_now_days)" "$@"
}

e2e_checksum() { if [ -f "$1" ]; then md5sum <"$1"; else echo missing; fi; }

# e2e_changed FILE CHECKSUM: the file no longer has that e2e_checksum.
e2e_changed() { [ "$(e2e_checksum "$1")" != "$2" ]; }

e2e_file_size() { stat -c %s "$1" 2>/dev/null || echo missing; }
