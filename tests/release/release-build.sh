#!/usr/bin/env bash
# A release build nested in the test build, for the tests of releases:
#   release-build.sh BUILD NAME [-DVARIABLE=VALUE ...]
# configures BUILD/release/NAME with the given cache arguments and builds the installer and what it
# needs, nothing else. Later calls rebuild only what changed. The build's own exit status is returned.
set -u
build=$(realpath "$1")
name=$2
shift 2
source_dir=$(realpath "$(dirname "$0")/../..")
release=$build/release/$name
# The xz-utils sources the test build fetched serve the nested build too.
mkdir -p "$release/_deps"
[ -e "$release/_deps/xz-utils" ] || ln -s "$build/_deps/xz-utils" "$release/_deps/xz-utils"
# Run from 'make test', the outer make's job server is not this build's.
unset MAKEFLAGS MFLAGS MAKELEVEL
cmake -S "$source_dir" -B "$release" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/toolchain-i686-w64-mingw32.cmake" \
    "$@" >"$release/configure.log" 2>&1 || { cat "$release/configure.log"; exit 1; }
cmake --build "$release" --target KelvorinAppPackSetup -j2
