#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it (the
# rules are in .clang-format). Fix with: scripts/check-format.sh --fix
set -euo pipefail
cd "$(dirname "$0")/.."

clang_format=${CLANG_FORMAT:-clang-format}
if ! command -v "$clang_format" >/dev/null; then
    echo "check-format: $clang_format not found; install it (scripts/install-deps.sh test)." >&2
    exit 1
fi

mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    "$clang_format" -i "${files[@]}"
    exit 0
fi

# One clang-format run over every file; it names each file that would change.
mapfile -t bad < <("$clang_format" --dry-run --Werror "${files[@]}" 2>&1 |
    sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u)

if [ ${#bad[@]} -gt 0 ]; then
    echo "check-format: ${#bad[@]} file(s) are not formatted as .clang-format says:" >&2
    for f in "${bad[@]}"; do
        echo "  $f" >&2
        "$clang_format" "$f" | diff -u --label "$f" --label "$f (formatted)" "$f" - | head -20 | sed 's/^/    /' >&2 || true
    done
    echo "Run 'clang-format -i <file>' on them (or scripts/check-format.sh --fix) and commit." >&2
    exit 1
fi
echo "check-format: ${#files[@]} files formatted"
