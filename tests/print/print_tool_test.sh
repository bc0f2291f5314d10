#!/usr/bin/env bash
# quillnote-print as a user runs it: what it prints, what it refuses and with
# which exit code, and that it never writes to or beside its data file (no copy
# of a damaged file, nothing changed but the PDF it was asked for).
# Usage: print_tool_test.sh QUILLNOTE_PRINT MAKE_PRINT_DATA
set -uo pipefail
shopt -s dotglob nullglob
tool=$1 make=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
# Every name in the folder with its bytes' hash, but for the file the tool was
# asked to write.
snapshot() {
    local f
    for f in *; do
        [ "$f" = "$written" ] || echo "$f $(sha256sum <"$f" 2>&1)"
    done
}
# arguments | exit code | the file that becomes a PDF | words in what the tool says
while IFS='|' read -r args code written said; do
    dir=$(mktemp -d "$work/row.XXXX") && cd "$dir" || exit 1
    "$make" tasks.dat stale && cp tasks.dat ./-x && head -c -10 tasks.dat >damaged.dat
    printf '%%PDF-1.4\n' >old.pdf && echo notes >notes.txt
    ln -s tasks.dat link.pdf && ln tasks.dat hard.pdf
    before=$(snapshot)
    # shellcheck disable=SC2086 # the arguments are words
    output=$("$tool" $args 2>&1)
    status=$?
    # A PDF written holds the tasks; the one overdue now only without --only-uncompleted.
    pdf=ok
    if [ -n "$written" ]; then
        text=$(pdftotext "$written" - 2>&1)
        [[ $text == *"Return the library books"* ]] && overdue=shown || overdue=left-out
        [[ $args == *--only-uncompleted* ]] && want=left-out || want=shown
        [[ $text == *"Water the plants"* && $overdue == "$want" ]] ||
            pdf="not as asked (overdue task $overdue)"
    fi
    if [ "$status" != "$code" ] || [[ $output != *"$said"* ]] || [ "$(snapshot)" != "$before" ] ||
        [ "$pdf" != ok ]; then
        echo "FAIL: quillnote-print $args: exit $status (want $code), PDF: $pdf, said: $output"
        failed=1
    fi
done <<'TABLE'
tasks.dat new.pdf|0|new.pdf|1
--only-uncompleted tasks.dat old.pdf|0|old.pdf|1
tasks.dat tasks.dat|1||the data file itself
tasks.dat link.pdf|1||the data file itself
tasks.dat hard.pdf|1||the data file itself
old.pdf tasks.dat|1||not a PDF file
--force old.pdf tasks.dat|1||not a Quillnote data file
tasks.dat notes.txt|1||--force
--force tasks.dat notes.txt|0|notes.txt|1
damaged.dat new.pdf|1||--damaged-ok
--damaged-ok damaged.dat new.pdf|0|new.pdf|printing what could be read
-- -x new.pdf|0|new.pdf|1
-x new.pdf|2||Usage:
--help|0||--damaged-ok
TABLE
exit $failed
