#!/usr/bin/env bash
# A Radicale server of its own on a free local port, user alice (password
# alice-pw), with one empty task list "Tasks" at $CALDAV_LIST.
# Sourced: radicale_start DIR sets CALDAV_BASE, CALDAV_LIST and RADICALE_PID.
# Run: with_radicale.sh COMMAND... runs the command with QUILLNOTE_TEST_CALDAV set
# to the list (exit 77 when Radicale is not installed).
radicale_start() {
    local dir=$1 port
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    htpasswd -cbm "$dir/users" alice alice-pw 2>/dev/null
    printf '[server]\nhosts = 127.0.0.1:%s\n[auth]\ntype = htpasswd\nhtpasswd_filename = %s\nhtpasswd_encryption = md5\n[rights]\ntype = owner_only\n[storage]\nfilesystem_folder = %s\n' \
        "$port" "$dir/users" "$dir/collections" >"$dir/radicale.conf"
    radicale -C "$dir/radicale.conf" >"$dir/radicale.log" 2>&1 &
    RADICALE_PID=$!
    CALDAV_BASE=http://127.0.0.1:$port/
    CALDAV_LIST=${CALDAV_BASE}alice/tasks/
    local deadline=$((SECONDS + 20))
    until [ "$(curl -s -o /dev/null -w '%{http_code}' "$CALDAV_BASE")" != 000 ]; do
        [ "$SECONDS" -lt "$deadline" ] || { cat "$dir/radicale.log" >&2; return 1; }
        sleep 0.1
    done
    [ "$(curl -s -o /dev/null -w '%{http_code}' -u alice:alice-pw -X MKCALENDAR \
        -H 'Content-Type: application/xml' --data-binary \
        '<c:mkcalendar xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:set><d:prop><d:displayname>Tasks</d:displayname><c:supported-calendar-component-set><c:comp name="VTODO"/></c:supported-calendar-component-set></d:prop></d:set></c:mkcalendar>' \
        "$CALDAV_LIST")" = 201 ]
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    for needed in radicale htpasswd curl; do
        command -v $needed >/dev/null || { echo "$needed is missing: scripts/install-deps.sh test installs it"; exit 77; }
    done
    W=$(mktemp -d)
    RADICALE_PID=""
    trap '[ -z "$RADICALE_PID" ] || kill "$RADICALE_PID" 2>/dev/null; rm -rf "$W"' EXIT
    radicale_start "$W" || { echo "Radicale did not start" >&2; exit 1; }
    QUILLNOTE_TEST_CALDAV=$CALDAV_LIST "$@"
fi
