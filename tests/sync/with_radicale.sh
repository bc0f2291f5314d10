#!/usr/bin/env bash
# A Radicale server of its own on a free local port, user alice (password
# alice-pw), with one empty task list "Tasks" at $CALDAV_LIST.
# Sourced: radicale_start DIR [tls] sets CALDAV_BASE, CALDAV_LIST and RADICALE_PID;
# with tls, over https with a self-signed certificate (its SHA-256 in CALDAV_FP).
# Run: with_radicale.sh COMMAND... runs the command with QUILLNOTE_TEST_CALDAV set
# to the list, and QUILLNOTE_TEST_CALDAVS and _FP to a second one over https
# (exit 77 when Radicale is not installed).
radicale_start() {
    local dir=$1 port scheme=http ssl=""
    mkdir -p "$dir"
    if [ "${2:-}" = tls ]; then
        openssl req -x509 -newkey rsa:2048 -nodes -keyout "$dir/key.pem" -out "$dir/cert.pem" \
            -days 2 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 2>/dev/null || return 1
        CALDAV_FP=$(openssl x509 -in "$dir/cert.pem" -noout -fingerprint -sha256 | sed 's/.*=//')
        scheme=https
        ssl=$(printf 'ssl = True\ncertificate = %s\nkey = %s\n' "$dir/cert.pem" "$dir/key.pem")
    fi
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    htpasswd -cbm "$dir/users" alice alice-pw 2>/dev/null
    printf '[server]\nhosts = 127.0.0.1:%s\n%s\n[auth]\ntype = htpasswd\nhtpasswd_filename = %s\nhtpasswd_encryption = md5\n[rights]\ntype = owner_only\n[storage]\nfilesystem_folder = %s\n' \
        "$port" "$ssl" "$dir/users" "$dir/collections" >"$dir/radicale.conf"
    radicale -C "$dir/radicale.conf" >"$dir/radicale.log" 2>&1 &
    RADICALE_PID=$!
    CALDAV_BASE=$scheme://127.0.0.1:$port/
    CALDAV_LIST=${CALDAV_BASE}alice/tasks/
    local deadline=$((SECONDS + 20))
    until [ "$(curl -ks -o /dev/null -w '%{http_code}' "$CALDAV_BASE")" != 000 ]; do
        [ "$SECONDS" -lt "$deadline" ] || { cat "$dir/radicale.log" >&2; return 1; }
        sleep 0.1
    done
    [ "$(curl -ks -o /dev/null -w '%{http_code}' -u alice:alice-pw -X MKCALENDAR \
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
    PIDS=()
    trap 'kill "${PIDS[@]}" 2>/dev/null; rm -rf "$W"' EXIT
    radicale_start "$W/tls" tls || { echo "Radicale over https did not start" >&2; exit 1; }
    PIDS+=("$RADICALE_PID")
    export QUILLNOTE_TEST_CALDAVS=$CALDAV_LIST QUILLNOTE_TEST_CALDAVS_FP=$CALDAV_FP
    radicale_start "$W/plain" || { echo "Radicale did not start" >&2; exit 1; }
    PIDS+=("$RADICALE_PID")
    QUILLNOTE_TEST_CALDAV=$CALDAV_LIST "$@"
fi
