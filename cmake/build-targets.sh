#!/usr/bin/env bash
# Builds the named targets of a build folder, or all of them when none is named, two jobs at a time.
#   build-targets.sh BUILD [TARGET...]
# Started under make (the Makefile, or ctest run by 'make test'), cmake's own make would take the outer
# make's MAKEFLAGS, MFLAGS and MAKELEVEL for its own: its jobserver, its options and its command-line
# variables, such as BUILD or PACK_DIR. So it starts without them.
set -euo pipefail
build=$1
shift
targets=()
[ $# -eq 0 ] || targets=(--target "$@")
exec env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL cmake --build "$build" -j2 "${targets[@]}"
