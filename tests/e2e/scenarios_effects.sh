#!/usr/bin/env bash
# End-to-end scenarios for the main window's effects, the tray icon's menu, help
# and the about window.
# Usage: scenarios_effects.sh SCENARIO PROGRAM XHELPER OUTDIR

source "$(dirname "$0")/lib.sh"

opacity() {
    local raw
    raw=$(xprop -id "$1" _NET_WM_WINDOW_OPACITY 2>/dev/null | awk -F' = ' '/CARDINAL/ { print $2 }')
    if [ -z "$raw" ]; then echo 255; else echo $(((raw * 255 + 2147483647) / 4294967295)); fi
}
opacity_is() { [ "$(opacity "$1")" = "$2" ]; }
opacity_is_not() { ! opacity_is "$@"; }

# The window's position is "X,Y".
position_is() {
    e2e_geometry "$1"
    [ "$X,$Y" = "$2" ]
}

# tray_click BUTTON: a click on the tray icon. The toolkit turns a second press of
# the same button within its double-click interval (400 ms) into a double-click,
# which the tray icon, like the system's, answers only for the left button: so a
# second click waits until it can no longer be taken for one, as a hand's would.
TRAY_CLICKED_MS=0
tray_click_would_be_double() { [ $(($(e2e_now_ms) - TRAY_CLICKED_MS)) -lt 500 ]; }
tray_click() {
    local ix iy iw ih
    local icon
    icon=$(e2e_tray_icon)
    read -r _ _ ix iy iw ih <<<"$icon"
    e2e_wait_for 3 e2e_is_viewable "${icon%% *}" || e2e_fail "the tray icon is not shown"
    e2e_wait_for 2 eval '! tray_click_would_be_double' || e2e_fail "the clock stands still"
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click "$1"
    TRAY_CLICKED_MS=$(e2e_now_ms)
}

# Drags the main window by its title bar by DX, DY in small steps, as a hand does.
drag_title_bar() {
    local dx=$1 dy=$2 sx sy i steps=8
    e2e_geometry "$MAIN_WIN"
    sx=$((X + 200)) sy=$((Y + 12))
    xdotool mousemove "$sx" "$sy" mousedown 1
    for i in $(seq "$steps"); do
        xdotool mousemove $((sx + dx * i / steps)) $((sy + dy * i / steps))
    done
    xdotool mouseup 1
}

scenario_fade() {
    e2e_ini_set Transparency 1
    xcompmgr >"$E2E_WORK/xcompmgr.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_start_and_wait_main
    e2e_require "main window shown" e2e_wait_viewable "$MAIN_WIN" 10
    e2e_geometry "$MAIN_WIN"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    xdotool windowactivate --sync "$MAIN_WIN"
    # The window may have begun to fade before the pointer came (it starts away from
    # the window): it comes back within a few steps.
    e2e_check "opaque while the pointer is on it" e2e_wait_for 3 opacity_is "$MAIN_WIN" 255
    local left
    left=$(e2e_now_ms)
    xdotool mousemove 1100 800
    e2e_check "faded to 155 after the pointer left (found $(opacity "$MAIN_WIN"))" \
        e2e_wait_for 5 opacity_is "$MAIN_WIN" 155
    e2e_check "not before the grace second ($(($(e2e_now_ms) - left)) ms)" \
        test $(($(e2e_now_ms) - left)) -ge 1000
    e2e_screenshot faded
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    e2e_check "opaque again when the pointer is back (found $(opacity "$MAIN_WIN"))" \
        e2e_wait_for 3 opacity_is "$MAIN_WIN" 255
    e2e_close_and_expect_exit
}

scenario_fade_off() {
    # Without the option nothing fades; without a compositor nothing breaks.
    e2e_start_and_wait_main
    e2e_require "main window shown" e2e_wait_viewable "$MAIN_WIN" 10
    xdotool windowactivate --sync "$MAIN_WIN"
    xdotool mousemove 1100 800
    e2e_check "still opaque 2 s after the pointer left" \
        eval '! e2e_wait_for 2 opacity_is_not "$MAIN_WIN" 255'
    e2e_close_and_expect_exit
}

scenario_snap() {
    e2e_ini_set Left 300
    e2e_ini_set Top 200
    e2e_start_and_wait_main
    e2e_require "main window shown" e2e_wait_viewable "$MAIN_WIN" 10
    e2e_require "at its stored place" e2e_wait_for 5 position_is "$MAIN_WIN" 300,200
    local h
    e2e_geometry "$MAIN_WIN"
    h=$HEIGHT
    # The work area is the screen less jwm's 30-pixel panel at the bottom.
    drag_title_bar -280 0
    e2e_check "dropped 20 px from the left edge, lands on it" \
        e2e_wait_for 3 position_is "$MAIN_WIN" 0,200
    drag_title_bar 0 $((994 - h - 200 + 6))
    e2e_check "dropped 6 px over the panel, sits on it" \
        e2e_wait_for 3 position_is "$MAIN_WIN" "0,$((994 - h))"
    drag_title_bar 100 -900
    e2e_check "dragged far above the top, snaps to the top" \
        e2e_wait_for 3 position_is "$MAIN_WIN" 100,0
    e2e_screenshot snapped
    drag_title_bar 200 300
    e2e_check "dropped in the open, stays" e2e_wait_for 3 position_is "$MAIN_WIN" 300,300
    # A move the window manager makes is snapped once it ends.
    xdotool windowmove "$MAIN_WIN" 15 300
    e2e_check "moved by the window manager near the left edge, snaps" \
        e2e_wait_for 3 position_is "$MAIN_WIN" 0,300
    e2e_close_and_expect_exit
}

scenario_tray_menu() {
    e2e_ini_set "Minimize on start" 1
    e2e_start_and_wait_main
    e2e_require "tray icon present" e2e_wait_tray_icon 10
    e2e_require "main window hidden at start" e2e_wait_viewable "$MAIN_WIN" 3 not
    # The window manager has moved the focus off the window it just unmapped: a
    # menu that opened while it still did would lose the focus and close.
    e2e_require "the hidden window has lost the focus" \
        e2e_wait_for 3 eval '! e2e_is_active "$MAIN_WIN"'
    # A right click opens the menu; its first item, "Open", shows the window.
    tray_click 3
    e2e_require "a menu opened" e2e_wait_for 3 e2e_popup_shown
    e2e_screenshot tray-menu
    xdotool key Down Return
    e2e_check "\"Open\" shows the main window" e2e_wait_viewable "$MAIN_WIN" 3
    e2e_check "and makes it the active window" \
        e2e_wait_for 3 e2e_is_active "$MAIN_WIN"
    # With the task editor open ("Add Task..." from the menu) a right click brings
    # it forward and opens no menu.
    tray_click 3
    e2e_require "the menu opened again" e2e_wait_for 3 e2e_popup_shown
    xdotool key Down Down Return
    local editor=""
    e2e_wait_for 5 e2e_other_window_shown || e2e_fail "the task editor did not open"
    editor=$(e2e_first_other_window)
    tray_click 3
    e2e_check "the task editor comes forward" \
        e2e_wait_for 3 e2e_is_active "$((editor))"
    e2e_check "no menu opened over it" eval '! e2e_wait_for 1 e2e_popup_shown'
    e2e_screenshot editor-forward
    xdotool key Escape
    e2e_check "the task editor closes" e2e_wait_for 3 e2e_no_other_window
    e2e_close_and_expect_exit
}

# A stand-in for the desktop's opener: records what it was asked to open.
install_opener() {
    mkdir -p "$E2E_WORK/bin"
    printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$E2E_WORK/opened" >"$E2E_WORK/bin/xdg-open"
    chmod +x "$E2E_WORK/bin/xdg-open"
    cp "$E2E_WORK/bin/xdg-open" "$E2E_WORK/bin/browser"
    export PATH="$E2E_WORK/bin:$PATH" BROWSER="$E2E_WORK/bin/browser"
}

scenario_help() {
    install_opener
    cp "$(dirname "$E2E_PROGRAM")/quillnote-help.html" "$APP_DIR/" ||
        e2e_fail "no help file beside the built program"
    e2e_start_and_wait_main
    e2e_require "main window shown" e2e_wait_viewable "$MAIN_WIN" 10
    xdotool windowactivate --sync "$MAIN_WIN"
    xdotool key F1
    e2e_check "F1 opens the HTML help beside the program" \
        e2e_wait_for 5 grep -q "quillnote-help.html" "$E2E_WORK/opened"
    e2e_check "by its full path" grep -q "$APP_DIR/quillnote-help.html" "$E2E_WORK/opened"
    # Without the help a message names the file it looked for.
    rm "$APP_DIR/quillnote-help.html"
    : >"$E2E_WORK/opened"
    xdotool windowactivate --sync "$MAIN_WIN"
    xdotool key F1
    e2e_check "a missing help file is told" e2e_wait_for 5 e2e_other_window_shown
    e2e_screenshot help-missing
    e2e_check "nothing was opened" test ! -s "$E2E_WORK/opened"
    xdotool key Return
    e2e_check "the message closes" e2e_wait_for 3 e2e_no_other_window
    e2e_close_and_expect_exit
}

# Opens the about window from the tray menu; E2E_SKIN chooses the skin, and
# QT_SCALE_FACTOR the scale, for the screenshots.
scenario_about() {
    e2e_ini_set Skin "${E2E_SKIN:-Default}"
    mkdir -p "$APP_DIR/Skins"
    cp "$(dirname "$E2E_PROGRAM")/Skins/"*.skn "$APP_DIR/Skins/"
    e2e_start_and_wait_main
    e2e_require "tray icon present" e2e_wait_tray_icon 10
    tray_click 3
    e2e_require "the tray menu opened" e2e_wait_for 3 e2e_popup_shown
    # From the top (menus skip separators): Open, Add Task..., Settings...,
    # Print..., Skins, Help..., About...; newer items follow Exit.
    xdotool key Down Down Down Down Down Down Down Return
    e2e_require "the about window opened" e2e_wait_for 5 e2e_other_window_shown
    local about
    about=$(e2e_first_other_window)
    e2e_check "captioned \"About Tolva Quillnote\"" \
        test "$(xdotool getwindowname "$about")" = "About Tolva Quillnote"
    e2e_check "no taskbar button of its own" e2e_has_state "$about" _NET_WM_STATE_SKIP_TASKBAR
    e2e_wait_for 3 e2e_is_active "$((about))" || true
    import -window "$about" "$E2E_OUT/$E2E_SCENARIO-${E2E_SKIN:-Default}-${QT_SCALE_FACTOR:-1}x.png"
    xdotool key Return
    e2e_check "Enter closes it" e2e_wait_for 3 e2e_no_other_window
    e2e_close_and_expect_exit
}

name=$1
shift
declare -F "scenario_$name" >/dev/null || { echo "no scenario $name" >&2; exit 2; }
e2e_begin "$name" "$@"
"scenario_$name"
