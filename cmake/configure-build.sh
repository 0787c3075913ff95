#!/usr/bin/env bash
# Configures a build folder for 'make', with the pack that PACK_DIR (from the environment) names: a
# maker's pack folder, or "builtin" for the built-in stand-ins. Without PACK_DIR a folder keeps the pack
# it was configured with, and a new folder gets the built-in pack: a release folder never goes back to
# the stand-ins, to be signed with the maker's certificate, unless that is asked for by name.
#   configure-build.sh BUILD
set -euo pipefail
build=$1
source_dir=$(dirname "$(dirname "$(realpath "$0")")")
cache=$build/CMakeCache.txt
configured=
[ ! -f "$cache" ] || configured=$(sed -n 's/^KELVORIN_PACK_DIR:[A-Z]*=//p' "$cache")
case ${PACK_DIR:-} in
    '') wanted=$configured ;;
    builtin) wanted= ;;
    *) wanted=$(realpath -ms -- "$PACK_DIR") ;;
esac
# The version likewise (VERSION, DISPLAY_VERSION): kept until given again. A new VERSION comes with the
# DISPLAY_VERSION given beside it, or none, so that a release never shows the text of an older one.
cached() { [ -f "$cache" ] && sed -n "s/^$1:[A-Z]*=//p" "$cache"; true; }
version=$(cached KELVORIN_VERSION)
display=$(cached KELVORIN_DISPLAY_VERSION)
configured_version=$version/$display
if [ -n "${VERSION+given}" ]; then
    version=$VERSION
    display=${DISPLAY_VERSION:-}
elif [ -n "${DISPLAY_VERSION+given}" ]; then
    display=$DISPLAY_VERSION
fi
# Once generated, the build itself configures again whenever the project's files change.
[ -f "$build/Makefile" ] && [ "$wanted" = "$configured" ] && [ "$version/$display" = "$configured_version" ] && exit 0
if [ -n "$wanted" ]; then
    echo "Pack: the pack folder $wanted"
else
    echo "Pack: the built-in stand-ins${configured:+, in place of the pack folder $configured}"
fi
# Its own failures (a pack folder or a version refused) are all that it prints.
output=$(cmake -S "$source_dir" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/toolchain-i686-w64-mingw32.cmake" \
    "-DKELVORIN_PACK_DIR=$wanted" "-DKELVORIN_VERSION=$version" "-DKELVORIN_DISPLAY_VERSION=$display" 2>&1) ||
    { printf '%s\n' "$output" >&2; exit 1; }
sed -n 's/^-- \(Version: .*\)/\1/p' <<<"$output"
