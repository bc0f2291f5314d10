#!/usr/bin/env bash
# Runs the start-up benchmark under an X server of its own (Xvfb with a black root
# window, jwm as window manager and tray), then stops everything it started.
# Usage: bench/startup/run.sh [build dir] [benchmark flags...]
#   e.g. bench/startup/run.sh build/release --benchmark_repetitions=3
set -euo pipefail
build=${1:-build/release}
shift || true
bin="$build/bin"
for p in quillnote trivial_window startup_bench; do
    [ -x "$bin/$p" ] || { echo "missing $bin/$p: build it first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/quillnote-bench.XXXXXX)
pids=()
cleanup() {
    for pid in $(printf '%s\n' "${pids[@]}" | tac); do
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -br 5>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"
printf '%s\n' '<JWM><Tray x="0" y="-1" height="30" autohide="off"><TaskList maxwidth="200"/><Dock/></Tray><Desktops width="1" height="1"/><FocusModel>click</FocusModel></JWM>' >"$work/jwmrc"
HOME="$work" jwm -f "$work/jwmrc" >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

# No session bus, as in the end-to-end tests (QUILLNOTE_BENCH_DBUS overrides).
unset DBUS_SESSION_BUS_ADDRESS
[ -z "${QUILLNOTE_BENCH_DBUS:-}" ] || export DBUS_SESSION_BUS_ADDRESS="$QUILLNOTE_BENCH_DBUS"
export QT_QPA_PLATFORM=xcb HOME="$work"
QUILLNOTE_BENCH_APP="$bin/quillnote" QUILLNOTE_BENCH_TRIVIAL="$bin/trivial_window" \
    QUILLNOTE_BENCH_WORK="$work/run" "$bin/startup_bench" "$@"
