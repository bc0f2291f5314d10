#!/usr/bin/env bash
# End-to-end printing: the print dialog of the real program, printing to a real
# CUPS queue (a scheduler of the scenario's own) and to the "PDF file" entry.
# Usage: scenarios_print.sh SCENARIO PROGRAM XHELPER OUTDIR DATATOOL

source "$(dirname "$0")/lib.sh"

# start_cups: a CUPS scheduler with its own configuration, spool and socket, so it
# neither needs nor touches the system's; one queue "Office" with the generic PDF
# driver writes each job to $QUEUE_OUT. The program finds it through CUPS_SERVER.
start_cups() {
    CUPS_DIR="$E2E_WORK/cups"
    mkdir -p "$CUPS_DIR"/{conf,spool,cache,state,log,tmp,out}
    # The filters run as the queue's user, who must reach the driver file.
    chmod o+x "$E2E_WORK"
    chmod 1777 "$CUPS_DIR/out" "$CUPS_DIR/tmp"
    QUEUE_OUT="$CUPS_DIR/out/office.pdf"
    cat >"$CUPS_DIR/conf/cupsd.conf" <<EOF
LogLevel warn
Listen $CUPS_DIR/cups.sock
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    cat >"$CUPS_DIR/conf/cups-files.conf" <<EOF
ServerRoot $CUPS_DIR/conf
RequestRoot $CUPS_DIR/spool
CacheDir $CUPS_DIR/cache
StateDir $CUPS_DIR/state
TempDir $CUPS_DIR/tmp
ErrorLog $CUPS_DIR/log/error_log
AccessLog $CUPS_DIR/log/access_log
PageLog $CUPS_DIR/log/page_log
Printcap $CUPS_DIR/printcap
FileDevice Yes
SystemGroup root
EOF
    export CUPS_SERVER="$CUPS_DIR/cups.sock"
    setsid cupsd -f -c "$CUPS_DIR/conf/cupsd.conf" -s "$CUPS_DIR/conf/cups-files.conf" \
        </dev/null >"$CUPS_DIR/cupsd.out" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait_for 10 eval 'lpstat -r 2>/dev/null | grep -q "is running"' ||
        e2e_fail "cupsd did not start: $(cat "$CUPS_DIR/cupsd.out")"
    lpadmin -p Office -E -v "file://$QUEUE_OUT" \
        -m lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd 2>/dev/null ||
        e2e_fail "could not add the queue"
    lpadmin -d Office
}

# The queue has finished every job and its output is a whole PDF.
queue_done() { [ -z "$(lpstat -o 2>/dev/null)" ] && pdfinfo "$QUEUE_OUT" >/dev/null 2>&1; }

start_program() { # start_program SAMPLE: the sample list, the program shown
    "$(dirname "$E2E_PROGRAM")/make-print-data" "$DATA" "$@" ||
        e2e_fail "could not write the tasks"
    DATA_SUM=$(e2e_checksum "$DATA")
    e2e_start_and_wait_main shown
    e2e_require "start-up done (tray icon)" e2e_wait_tray_icon 10
}

# wait_window_besides SECONDS KNOWN...: waits for a shown window of the program
# other than the main window and the KNOWN ones; sets WIN.
wait_window_besides() {
    local deadline=$(($(e2e_now_ms) + $1 * 1000)) w known
    shift
    WIN=""
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        for w in $(e2e_other_windows); do
            for known in "$@"; do [ "$w" != "$known" ] || continue 2; done
            e2e_is_viewable "$w" && WIN=$w && return 0
        done
        sleep 0.1
    done
    return 1
}

# Opens the print dialog with the main window's print button; sets DIALOG and
# the dialog's X, Y, WIDTH and HEIGHT.
open_print_dialog() {
    e2e_geometry "$MAIN_WIN"
    # The skin's print button: 110 px from the left, 20 px above the bottom, 30 x 26.
    xdotool mousemove $((X + 110 + 15)) $((Y + HEIGHT - 20 - 13)) click 1
    wait_window_besides 10 || e2e_fail "the print button opens no dialog"
    DIALOG=$WIN
    e2e_geometry "$DIALOG"
}

# Picks the printer list's last entry ("PDF file") with the keyboard.
choose_pdf_file_entry() {
    # The list sits at 60, 136 in the client area, which starts 1, 37 in the frame.
    xdotool mousemove $((X + 1 + 60 + 90)) $((Y + 37 + 136 + 10)) click 1
    xdotool key End Return
}

# Clicks the skin's OK button: 104 px from the right, 12 above the bottom, 84 x 28.
click_ok() { xdotool mousemove $((X + WIDTH - 104 - 42)) $((Y + HEIGHT - 12 - 14)) click 1; }

pdf_pages() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }'; }

# The sample list on a real queue: the job comes out as the pages the program drew.
# A queue that refuses jobs is reported, never taken for printed.
scenario_print_to_queue() {
    start_cups
    start_program sample
    open_print_dialog
    e2e_screenshot dialog
    click_ok
    e2e_check "the dialog closes after printing" e2e_wait_viewable "$DIALOG" 10 not
    e2e_require "the queue printed the job" e2e_wait_for 30 queue_done
    local text
    text=$(pdftotext -layout "$QUEUE_OUT" - 2>/dev/null)
    e2e_check "the job has one page (found $(pdf_pages "$QUEUE_OUT"))" \
        test "$(pdf_pages "$QUEUE_OUT")" = 1
    e2e_check "the job is called Tolva-Quillnote" \
        grep -q '^Title: *Tolva-Quillnote$' <(pdfinfo "$QUEUE_OUT")
    e2e_check "the page has the title" grep -q 'Tolva Quillnote' <<<"$text"
    e2e_check "the page has every task" test "$(grep -cE 'Send the quarterly report|Water the plants|Book the dentist|Renew the car insurance|Return the library books|Plan the team outing' <<<"$text")" = 6
    e2e_check "the page has the footer" grep -q 'tolvane.example' <<<"$text"
    pdftoppm -r 60 -png -singlefile "$QUEUE_OUT" "$E2E_OUT/$E2E_SCENARIO-page"

    cupsreject Office
    rm -f "$QUEUE_OUT"
    open_print_dialog
    click_ok
    wait_window_besides 10 "$DIALOG" || e2e_fail "a refused job is not told"
    e2e_screenshot refused
    e2e_check "the message says the printer refused ($(xdotool getwindowname "$WIN"))" \
        test "$(xdotool getwindowname "$WIN")" = Attention
    xdotool windowactivate --sync "$WIN" key Return 2>/dev/null || true
    e2e_check "the dialog closes after the message" e2e_wait_viewable "$DIALOG" 10 not
    e2e_check "nothing came out of the refusing queue" test ! -e "$QUEUE_OUT"

    e2e_check "printing left the data file alone" test "$(e2e_checksum "$DATA")" = "$DATA_SUM"
    e2e_close_main
    e2e_wait_exit "$APP_PID" 10
    e2e_check "the program ends cleanly (exit status $EXIT_RC)" test "$EXIT_RC" = 0
}

# "PDF file" asks for a file name and writes the pages there; a long job shows its
# progress, and Cancel leaves no file behind.
scenario_print_pdf_file() {
    start_program sample
    open_print_dialog
    choose_pdf_file_entry
    e2e_screenshot pdf-file-entry
    click_ok
    wait_window_besides 10 "$DIALOG" || e2e_fail "\"PDF file\" asks for no file name"
    local chooser=$WIN out="$E2E_WORK/home/printed tasks.pdf"
    e2e_screenshot file-chooser
    xdotool windowactivate --sync "$chooser" key ctrl+a 2>/dev/null || true
    xdotool type --delay 5 "$out"
    xdotool key Return
    e2e_check "the PDF file is written" e2e_wait_for 10 eval 'pdfinfo "$out" >/dev/null 2>&1'
    e2e_check "the dialog closes" e2e_wait_viewable "$DIALOG" 10 not
    local text
    text=$(pdftotext -layout "$out" - 2>/dev/null || true)
    e2e_check "the file has the title, a task and the footer" \
        eval 'grep -q "Tolva Quillnote" <<<"$text" && grep -q "Plan the team outing" <<<"$text" &&
              grep -q tolvane.example <<<"$text"'
    e2e_check "printing left the data file alone" test "$(e2e_checksum "$DATA")" = "$DATA_SUM"
    e2e_close_main
    e2e_wait_exit "$APP_PID" 10
    e2e_check "the first run ends cleanly (exit status $EXIT_RC)" test "$EXIT_RC" = 0

    # Enough tasks for a job of several seconds: the progress dialog comes, and its
    # Cancel stops the job with no file and no message.
    start_program many 20000
    open_print_dialog
    choose_pdf_file_entry
    click_ok
    wait_window_besides 10 "$DIALOG" || e2e_fail "\"PDF file\" asks for no file name"
    local cancelled="$E2E_WORK/home/cancelled.pdf"
    xdotool windowactivate --sync "$WIN" key ctrl+a 2>/dev/null || true
    xdotool type --delay 5 "$cancelled"
    xdotool key Return
    e2e_require "a long job shows its progress" wait_window_besides 20 "$DIALOG" "$WIN"
    local progress=$WIN
    e2e_screenshot progress
    e2e_check "the progress window is titled Print" \
        test "$(xdotool getwindowname "$progress")" = Print
    xdotool windowactivate --sync "$progress" key Escape 2>/dev/null || true
    e2e_check "Cancel ends the job and the dialog" e2e_wait_viewable "$DIALOG" 20 not
    e2e_check "no message follows a cancelled job" test -z "$(e2e_other_windows)"
    e2e_check "a cancelled job leaves no file" test ! -e "$cancelled"
    e2e_check "nothing is left half-written in the folder" \
        test -z "$(find "$E2E_WORK/home" -maxdepth 1 -name 'cancelled*')"
    e2e_close_main
    e2e_wait_exit "$APP_PID" 10
    e2e_check "the second run ends cleanly (exit status $EXIT_RC)" test "$EXIT_RC" = 0
}

name=$1
declare -F "scenario_$name" >/dev/null || {
    echo "no scenario $name" >&2
    exit 2
}
e2e_begin "$name" "$2" "$3" "$4"
"scenario_$name"
