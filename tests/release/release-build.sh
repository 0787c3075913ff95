#!/usr/bin/env bash
# Configures a release of the installer in a build folder of its own, with the given cache settings (a
# pack folder, a certificate, ...), and builds the installer and nothing else; a later call builds only
# what changed. The release takes the xz-utils sources that the tests' build fetched, rather than fetch
# them again.
# Usage: release-build.sh <source> <tests' build> <build> [-D<name>=<value> ...]
set -euo pipefail
source=$(realpath "$1")
main=$(realpath "$2")
build=$3
shift 3
mkdir -p "$build/_deps"
[ -d "$build/_deps/xz-utils" ] || cp -a "$main/_deps/xz-utils" "$build/_deps/"
cmake -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/toolchain-i686-w64-mingw32.cmake" \
    "$@" >/dev/null
bash "$source/cmake/build-targets.sh" "$build" KelvorinAppPackSetup
