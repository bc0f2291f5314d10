#!/usr/bin/env bash
# Runs the sync benchmark against a Radicale server of its own (a free local
# port, its own users file and storage folder), then stops it.
# Usage: bench/sync/run.sh [build dir] [benchmark flags...]
#   e.g. bench/sync/run.sh build/release --send 1000
set -euo pipefail
build=${1:-build/release}
shift || true
bench="$build/bin/quillnote-bench-sync"
[ -x "$bench" ] || { echo "missing $bench: build it first" >&2; exit 1; }
for needed in radicale htpasswd curl; do
    command -v $needed >/dev/null || { echo "$needed is missing: scripts/install-deps.sh test installs it" >&2; exit 1; }
done

work=$(mktemp -d /tmp/quillnote-bench-sync.XXXXXX)
rpid=""
trap '[ -z "$rpid" ] || { kill "$rpid" 2>/dev/null; wait "$rpid" 2>/dev/null; }; rm -rf "$work"' EXIT
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
htpasswd -cbm "$work/users" alice alice-pw 2>/dev/null
# A request body of 10,000 tasks is larger than Radicale takes by default.
printf '[server]\nhosts = 127.0.0.1:%s\nmax_content_length = 1000000000\ntimeout = 600\n[auth]\ntype = htpasswd\nhtpasswd_filename = %s\nhtpasswd_encryption = md5\n[rights]\ntype = owner_only\n[storage]\nfilesystem_folder = %s\n[logging]\nlevel = warning\n' \
    "$port" "$work/users" "$work/collections" >"$work/config"
radicale -C "$work/config" >"$work/radicale.log" 2>&1 &
rpid=$!
base=http://127.0.0.1:$port/alice/
deadline=$((SECONDS + 20))
until [ "$(curl -s -o /dev/null -w '%{http_code}' -u alice:alice-pw "$base")" != 000 ]; do
    [ "$SECONDS" -lt "$deadline" ] || { echo "Radicale did not start: $(cat "$work/radicale.log")" >&2; exit 1; }
    sleep 0.1
done
"$bench" "$base" alice alice-pw "$@"
