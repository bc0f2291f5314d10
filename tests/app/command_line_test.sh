#!/usr/bin/env bash
# Each program answers --help and --version and refuses an unknown option with
# the right exit code, without a display and without writing a file: each runs as
# a copy in an empty folder (where a portable copy would keep its files), with
# empty home, config and data folders.
# Usage: command_line_test.sh VERSION PROGRAM...
set -uo pipefail
version=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for program in "$@"; do
    name=$(basename "$program")
    # arguments | exit code | first line of standard output, a pattern ("" for none)
    while IFS='|' read -r args code first; do
        dir="$work/$name$args"
        mkdir -p "$dir/bin" "$dir/home"
        cp "$program" "$dir/bin/"
        out=$(cd "$dir/bin" && env -i PATH=/usr/bin:/bin HOME="$dir/home" \
            XDG_CONFIG_HOME="$dir/home/config" XDG_DATA_HOME="$dir/home/data" \
            XDG_RUNTIME_DIR="$dir/home" "./$name" "$args" 2>"$work/err")
        status=$?
        written=$(cd "$dir" && find . -mindepth 1 ! -path ./bin ! -path "./bin/$name" ! -path ./home)
        line=$(head -n1 <<<"$out")
        pattern=${first//@/$name}
        pattern=${pattern//VERSION/$version}
        # shellcheck disable=SC2053 # the expected line is a pattern
        if [ "$status" != "$code" ] || [[ ${line,,} != ${pattern,,} ]] || [ -n "$written" ]; then
            echo "FAIL: $name $args: exit $status (want $code), first line '$line'" \
                "(want '$pattern'), written: ${written:-nothing}; stderr: $(cat "$work/err")"
            failed=1
        else
            echo "ok: $name $args"
        fi
    done <<'TABLE'
--help|0|usage: @ *
--version|0|@ VERSION
--bogus-option|2|
TABLE
done
exit $failed
