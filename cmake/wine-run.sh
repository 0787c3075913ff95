#!/usr/bin/env bash
# Runs a Windows program under Wine in the throwaway prefix of the current run, never in ~/.wine.
# Wine's helper processes (services, the desktop) outlive the program and inherit its output
# descriptors; collecting the output in files keeps them from holding the caller's pipe open.
: "${WINEPREFIX:?WINEPREFIX is not set: run through 'make test' or 'make run'}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
out=$(mktemp)
err=$(mktemp)
wine "$@" >"$out" 2>"$err" </dev/null
status=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $status
