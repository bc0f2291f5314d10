#!/usr/bin/env bash
# Installs what is missing, builds Quillnote and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
cmake -S . -B build/app -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DQUILLNOTE_BUILD_TESTS=OFF -DQUILLNOTE_BUILD_BENCH=OFF >/dev/null
cmake --build build/app --target quillnote
exec build/app/bin/quillnote "$@"
