#!/usr/bin/env bash
# Fails when a file under src/ includes from a layer above its own (or from a
# sibling layer), when the Qt-free core includes a Qt header, or when a library
# includes another library's headers without naming it in its CMake link list.
#
# The layers, lowest first (a file may include its own layer and the layers below):
#   0 core (plain C++, no Qt)
#   1 calendar (core and libical, no Qt), platform, widgets
#   2 skin, sync (the calendar mapping over the network)
#   3 ui, print
#   4 app
# Tools, benchmarks, tests and fuzz targets sit on top and may include any layer.
set -uo pipefail
cd "$(dirname "$0")/.."

declare -A rank=([core]=0 [calendar]=1 [platform]=1 [widgets]=1 [skin]=2 [sync]=2 [ui]=3 [print]=3 [app]=4)
errors=0

fail() {
    echo "check-layers: $*" >&2
    errors=$((errors + 1))
}

# What each library's CMake files name, read once.
declare -A links
for layer in "${!rank[@]}"; do
    links[$layer]=$(cat "src/$layer/CMakeLists.txt" src/"$layer"/*.cmake 2>/dev/null || true)
done

include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)/'
qt_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Q|qt)'

# Every include line of every source file below src/, tracked or new, in one pass.
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- 'src/*.cpp' 'src/*.h')
while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    text=${rest#*:}
    layer=${file#src/}
    layer=${layer%%/*}
    [ -n "${rank[$layer]:-}" ] || continue
    own=${rank[$layer]}
    if { [ "$layer" = core ] || [ "$layer" = calendar ]; } && [[ $text =~ $qt_re ]]; then
        fail "$file:$line: $text -- src/$layer is plain C++ and may not include Qt;" \
             "put code that needs Qt in platform, widgets or a layer above."
        continue
    fi
    [[ $text =~ $include_re ]] || continue
    target=${BASH_REMATCH[1]}
    [ "$target" = "$layer" ] && continue
    if [ -z "${rank[$target]:-}" ]; then
        fail "$file:$line: $text -- '$target/' is not a library layer under src/;" \
             "program code may not include from tools, tests, benchmarks or fuzz targets."
        continue
    fi
    if [ "${rank[$target]}" -ge "$own" ]; then
        how="above"
        [ "${rank[$target]}" -eq "$own" ] && how="beside"
        fail "$file:$line: $text -- '$layer' may not include from '$target' (a layer $how it)." \
             "Move what both need down into a lower layer, or move this file up to a layer" \
             "above both (order: core < calendar, platform, widgets < skin, sync < ui, print < app)."
        continue
    fi
    # The library that uses another must name it in its link list.
    if ! [[ ${links[$layer]} =~ quillnote_$target([^a-z_]|$) ]]; then
        fail "$file:$line: $text -- src/$layer/CMakeLists.txt does not link quillnote_$target;" \
             "add it to the target_link_libraries of the library this file belongs to."
    fi
done < <([ ${#files[@]} -eq 0 ] || grep -nH '^[[:space:]]*#[[:space:]]*include' "${files[@]}")

if [ "$errors" -gt 0 ]; then
    echo "check-layers: $errors include(s) break the layer order." >&2
    exit 1
fi
echo "check-layers: every include under src/ respects the layer order"
