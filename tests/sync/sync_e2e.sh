#!/usr/bin/env bash
# One data file, a real Radicale server and curl as another device: tasks and
# edits travel both ways through "quillnote-data sync", the same field changed
# on both sides keeps both versions, an expired sync token and a password in the
# keyring still sync, a server that stops in the middle of a sync and comes
# back ends with every task once, and a server that went away changes nothing.
# Usage: sync_e2e.sh QUILLNOTE-DATA    (exit 77: Radicale or the keyring not installed)
set -euo pipefail
TOOL=$1
for needed in radicale htpasswd curl dbus-run-session gnome-keyring-daemon; do
    command -v $needed >/dev/null || {
        echo "$needed is missing: scripts/install-deps.sh test installs it"
        exit 77
    }
done
W=$(mktemp -d)
RPID=""
trap '[ -z "$RPID" ] || kill "$RPID" 2>/dev/null; rm -rf "$W"' EXIT
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
htpasswd -cbm "$W/users" alice alice-pw 2>/dev/null
printf '[server]\nhosts = 127.0.0.1:%s\n[auth]\ntype = htpasswd\nhtpasswd_filename = %s\nhtpasswd_encryption = md5\n[rights]\ntype = owner_only\n[storage]\nfilesystem_folder = %s\n' \
    "$PORT" "$W/users" "$W/collections" >"$W/config"
radicale -C "$W/config" >"$W/radicale.log" 2>&1 &
RPID=$!
LIST=http://127.0.0.1:$PORT/alice/tasks/
DAT=$W/quillnote.dat
export QUILLNOTE_SYNC_PASSWORD=alice-pw
# The tool falls back on the Sync window's account: never the real user's.
export XDG_CONFIG_HOME=$W/xdg

fail() { echo "FAIL: $*" >&2; exit 1; }
# wait_for SECONDS command...: until the command succeeds, or fail.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.1; done
}
dav() { curl -s -o "$W/out" -w '%{http_code}' -u alice:alice-pw "$@"; }
up() { [ "$(dav "$LIST")" != 000 ]; }
# todo UID LINE...: a calendar file with one task, written to $W/UID.ics.
todo() {
    local uid=$1
    shift
    printf '%s\r\n' BEGIN:VCALENDAR VERSION:2.0 PRODID:-//Other//Device//EN BEGIN:VTODO \
        "UID:$uid" DTSTAMP:20260105T101500Z "$@" END:VTODO END:VCALENDAR >"$W/$uid.ics"
}
put() { [ "$(dav -X PUT -H 'Content-Type: text/calendar' --data-binary "@$W/$1.ics" "$LIST$1.ics")" = 201 ] ||
    [ "$(cat "$W/out")" = "" ] || fail "PUT $1: $(cat "$W/out")"; }
sync_ok() { "$TOOL" sync "$DAT" "$@" || fail "sync exited $?"; }
titles() { "$TOOL" dump "$DAT" | grep -o '"Title":"[^"]*"' | sort | tr '\n' ' '; }
on_server() { dav "$LIST$1.ics" >/dev/null; grep -q "$2" "$W/out"; }

wait_for 20 up || fail "Radicale did not start: $(cat "$W/radicale.log")"
[ "$(dav -X MKCALENDAR -H 'Content-Type: application/xml' --data-binary \
    '<c:mkcalendar xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:set><d:prop><c:supported-calendar-component-set><c:comp name="VTODO"/></c:supported-calendar-component-set></d:prop></d:set></c:mkcalendar>' \
    "$LIST")" = 201 ] || fail "MKCALENDAR"

# Bad arguments, a file that was never synced with no list given, and an address
# (redirected to the server's root) that is no task list.
set +e
"$TOOL" sync "$DAT" --url; [ $? = 2 ] || fail "--url without a value must exit 2"
"$TOOL" sync "$DAT"; [ $? = 2 ] || fail "no task list must exit 2"
"$TOOL" sync "$W/other.dat" --url "http://127.0.0.1:$PORT/.well-known/caldav" --user alice
[ $? = 1 ] || fail "an address that is no task list must exit 1"
set -e

# A task on each side: both sides have both after one sync.
todo server-1 'SUMMARY:Buy milk' 'DUE;VALUE=DATE:20260110' CATEGORIES:Business X-OTHER:keep
put server-1
todo local-1 'SUMMARY:Pay rent' PRIORITY:1
"$TOOL" import "$DAT" "$W/local-1.ics" >/dev/null
sync_ok --url "$LIST" --user alice
[ "$(titles)" = '"Title":"Buy milk" "Title":"Pay rent" ' ] || fail "after the first sync: $(titles)"
on_server local-1 'SUMMARY:Pay rent' && on_server local-1 'PRIORITY:1' || fail "task not sent"
"$TOOL" dump "$DAT" | grep -q '"Title":"Buy milk".*"DueDate":46032.*"CategoryIndex":1' ||
    fail "due date or category of the received task"
ls "$DAT".before-sync* >/dev/null || fail "no copy kept before the first sync"

# Done on the other device arrives here; an edit here goes there.
todo server-1 'SUMMARY:Buy milk' 'DUE;VALUE=DATE:20260110' CATEGORIES:Business X-OTHER:keep \
    STATUS:COMPLETED
put server-1
todo local-1 'SUMMARY:Pay rent today' PRIORITY:1 LAST-MODIFIED:20300101T000000Z
"$TOOL" import "$DAT" "$W/local-1.ics" >/dev/null
sync_ok
"$TOOL" dump "$DAT" | grep -q '"Title":"Buy milk".*"Done":1' || fail "done did not arrive"
on_server local-1 'SUMMARY:Pay rent today' || fail "the edit was not sent"

# The same field changed on both sides: the local title stays, the server's
# becomes a conflict copy, and what the other device wrote survives.
todo server-1 'SUMMARY:Buy soy milk' 'DUE;VALUE=DATE:20260110' CATEGORIES:Business X-OTHER:keep
put server-1
todo server-1 'SUMMARY:Buy oat milk' 'DUE;VALUE=DATE:20260110' CATEGORIES:Business \
    LAST-MODIFIED:20300101T000000Z
"$TOOL" import "$DAT" "$W/server-1.ics" >/dev/null
sync_ok
[ "$(titles)" = '"Title":"Buy oat milk" "Title":"Conflict copy: Buy soy milk" "Title":"Pay rent today" ' ] ||
    fail "after the conflict: $(titles)"
on_server server-1 'SUMMARY:Buy oat milk' && on_server server-1 'X-OTHER:keep' ||
    fail "the merged task on the server: $(cat "$W/out")"

# Removed on the other device: removed here.
[ "$(dav -X DELETE "${LIST}local-1.ics")" = 200 ] || fail "DELETE"
sync_ok
case "$(titles)" in *'Pay rent'*) fail "the removal did not arrive: $(titles)" ;; esac

# Changes are asked for by sync token; a token the server no longer knows
# costs a full listing, not the sync.
grep -q '^token	http' "$DAT.sync" || fail "no sync token kept"
sed -i 's/^token\t.*/token\thttp:\/\/radicale.org\/ns\/sync\/0000/' "$DAT.sync"
todo server-2 'SUMMARY:Water plants'
put server-2
sync_ok
titles | grep -q 'Water plants' || fail "nothing arrived after an expired token: $(titles)"

# The password kept in an unlocked keyring of a session of its own, then read from it.
dbus-run-session -- bash -c 'export HOME=$1; eval "$(printf pw | gnome-keyring-daemon --unlock --components=secrets)"
    export GNOME_KEYRING_CONTROL; unset QUILLNOTE_SYNC_PASSWORD
    printf "alice-pw\n" | "$2" sync "$3" --save-password && "$2" sync "$3"' \
    keyring "$W" "$TOOL" "$DAT" || fail "a sync with the password in the keyring"

# The server goes away in the middle of sending many new tasks and comes back:
# the next sync links what arrived, sends the rest, and nothing is doubled.
stored() { find "$W/collections" -name 'bulk-*.ics' -not -path '*/.Radicale*' | wc -l; }
{
    printf '%s\r\n' BEGIN:VCALENDAR VERSION:2.0 PRODID:-//Ex//ToDo//EN
    for i in $(seq 1 150); do
        printf '%s\r\n' BEGIN:VTODO "UID:bulk-$i" DTSTAMP:20260105T101500Z "SUMMARY:Bulk $i" END:VTODO
    done
    printf '%s\r\n' END:VCALENDAR
} >"$W/bulk.ics"
"$TOOL" import "$DAT" "$W/bulk.ics" >/dev/null
set +e
"$TOOL" sync "$DAT" >"$W/cut.log" 2>&1 &
SYNC_PID=$!
wait_for 60 eval '[ "$(stored)" -gt 0 ]' || fail "no task reached the server"
kill "$RPID"; wait "$RPID" 2>/dev/null; RPID=""
wait "$SYNC_PID"; cut_status=$?
set -e
[ "$(stored)" -lt 150 ] || echo "note: every task was sent before the server stopped"
[ "$cut_status" = 1 ] || [ "$(stored)" = 150 ] || fail "a sync cut short must exit 1, not $cut_status"
radicale -C "$W/config" >>"$W/radicale.log" 2>&1 &
RPID=$!
wait_for 20 up || fail "Radicale did not start again"
sync_ok
[ "$(stored)" = 150 ] || fail "$(stored) of 150 tasks on the server after the server came back"
[ "$(titles | grep -o 'Bulk [0-9]*' | sort -u | wc -l)" = 150 ] &&
    [ "$(titles | grep -o 'Bulk' | wc -l)" = 150 ] || fail "tasks lost or doubled here"
case "$(titles)" in *'Conflict copy: Bulk'*) fail "a conflict copy after the cut" ;; esac

# The server goes away: the sync fails with 1 and the data file is untouched.
kill "$RPID"; wait "$RPID" 2>/dev/null || true; RPID=""
cp "$DAT" "$W/before"
set +e
"$TOOL" sync "$DAT"; [ $? = 1 ] || fail "a sync without server must exit 1"
set -e
cmp -s "$DAT" "$W/before" || fail "a failed sync changed the data file"
echo "sync end to end: ok"
