#!/usr/bin/env bash
# Runs the start-up benchmark under an X server of its own (Xvfb with a black root
# window, jwm as window manager and tray), then stops everything it started.
# Usage: bench/startup/run.sh [build dir] [benchmark flags...]
#   e.g. bench/startup/run.sh build/release --benchmark_repetitions=3
set -euo pipefail
build=${1:-build/release}
shift || true
bin="$build/bin"
for p in quillnote trivial_window startup_bench e2e-xhelper; do
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

# shellcheck source=../../tests/e2e/x-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/e2e/x-session.sh"
started=0
x_session_start "$work" "$bin/e2e-xhelper" -br || started=$?
pids+=("${XSESSION_PIDS[@]}")
[ "$started" = 0 ] || exit 1

# No session bus, as in the end-to-end tests (QUILLNOTE_BENCH_DBUS overrides).
unset DBUS_SESSION_BUS_ADDRESS
[ -z "${QUILLNOTE_BENCH_DBUS:-}" ] || export DBUS_SESSION_BUS_ADDRESS="$QUILLNOTE_BENCH_DBUS"
export QT_QPA_PLATFORM=xcb HOME="$work"
QUILLNOTE_BENCH_APP="$bin/quillnote" QUILLNOTE_BENCH_TRIVIAL="$bin/trivial_window" \
    QUILLNOTE_BENCH_WORK="$work/run" "$bin/startup_bench" "$@"
