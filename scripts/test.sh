#!/usr/bin/env bash
# Installs what is missing, checks the conventions (format, layer order), builds
# everything with warnings as errors and runs every test: the unit and widget tests,
# the same again under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# end-to-end tests on the real program under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test

jobs=$(nproc)
status=0

echo "== Format and layer order"
bash scripts/check-format.sh || status=1
bash scripts/check-layers.sh || status=1

echo "== Build (release with debug info)"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DQUILLNOTE_WERROR=ON >/dev/null
cmake --build build/release -j "$jobs"

echo "== Unit, widget and end-to-end tests"
ctest --test-dir build/release --output-on-failure -j "$jobs" || status=1

echo "== Start-up against a trivial window, in one run"
# Prints Quillnote's start-up as a ratio of a trivial window's in the same run
# (painted with 1,000 tasks, settled with 10,000; the subjects' starts shuffled, so
# a busy spell hits both) and fails above 4 x: the goal is 1.5 x and 2 x, but on a
# busy 2-core machine the program as it is now reaches 3.3-4 x while the program
# before the last start-up pass gave 4-5 x (docs/bench-startup.md explains the
# limit; it comes down as the figures on a loaded machine do).
QUILLNOTE_BENCH_MAX_RATIO=4 bash bench/startup/run.sh build/release --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true --benchmark_enable_random_interleaving=true ||
    status=1

echo "== Build with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLNOTE_SANITIZE=ON \
      -DQUILLNOTE_WERROR=ON -DQUILLNOTE_BUILD_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs"

echo "== Unit and widget tests under the sanitizers"
ctest --test-dir build/asan --output-on-failure -j "$jobs" -LE e2e || status=1

exit $status
