#!/usr/bin/env bash
# Each program answers --help and --version and refuses an unknown option, with
# no display and no file written: it runs as a copy in an empty folder (where a
# portable copy keeps its files) with empty home, config and data folders.
# Usage: command_line_test.sh VERSION PROGRAM...
set -uo pipefail
version=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for program in "$@"; do
    name=$(basename "$program")
    # arguments|exit code|pattern of the first line of standard output
    while IFS='|' read -r args code first; do
        dir="$work/$name$args"
        mkdir -p "$dir/bin" "$dir/home" && cp "$program" "$dir/bin/"
        line=$(cd "$dir/bin" && env -i PATH=/usr/bin:/bin HOME="$dir/home" \
            XDG_CONFIG_HOME="$dir/home" XDG_DATA_HOME="$dir/home" XDG_RUNTIME_DIR="$dir/home" \
            "./$name" "$args" 2>/dev/null | head -n1; exit "${PIPESTATUS[0]}")
        status=$?
        written=$(find "$dir" -mindepth 1 ! -path "$dir/bin" ! -path "$dir/bin/$name" ! -path "$dir/home")
        pattern=${first//@/$name}
        # shellcheck disable=SC2053 # the expected line is a pattern
        if [ "$status" != "$code" ] || [[ ${line,,} != ${pattern//VERSION/$version} ]] || [ -n "$written" ]; then
            echo "FAIL: $name $args: exit $status (want $code), '$line', written: ${written:-nothing}"
            failed=1
        fi
    done <<<$'--help|0|usage: @ *\n--version|0|@ VERSION\n--bogus-option|2|'
done
exit $failed
