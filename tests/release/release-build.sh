#!/usr/bin/env bash
# Configures a release of the installer from a pack folder in a build folder of its own and builds
# the installer and nothing else. Arguments after the pack folder are further cache settings.
# Usage: release-build.sh <source> <build> <pack-folder> [-D<name>=<value> ...]
set -euo pipefail
source=$(realpath "$1")
build=$2
pack=$3
shift 3
cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/toolchain-i686-w64-mingw32.cmake" \
    "-DKELVORIN_PACK_DIR=$pack" "$@" >/dev/null
env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL cmake --build "$build" --target KelvorinAppPackSetup -j2
