#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the program's sources in src/.
# Takes several minutes on two cores, so the test command leaves it out: run it
# before a commit that changes src/. Needs a configured build (for the compile
# commands and the generated moc files): by default build/release.
#   scripts/lint.sh [BUILD_DIR] [FILE...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
shift || true
[ -f "$build/compile_commands.json" ] ||
    { echo "lint: no $build/compile_commands.json; configure and build first." >&2; exit 2; }
if [ $# -eq 0 ]; then
    mapfile -t files < <(git ls-files --cached --others --exclude-standard -- 'src/*.cpp')
else
    files=("$@")
fi
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${files[@]/#/$PWD/}"
