#!/usr/bin/env bash
# Runs a Qt Test program of the Windows build under Wine for ctest (its cross-compiling
# emulator): PROGRAM.exe [ARGUMENT]...
# Qt Test on Windows sends what it logs to standard output to the debugger instead when the
# program has no console window, as under Wine; so the log goes to a file, shown afterwards.
# When ORVANE_QTEST_SUMMARY names a file, the program's totals and skipped tests are added to it.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
log=$(mktemp "${TMPDIR:-/tmp}/qtest-XXXXXX.txt")
trap 'rm -f "$log"' EXIT
"$here/../../scripts/wine-run" "$@" -o "$log,txt" </dev/null
status=$?
tr -d '\r' <"$log"
if [ -n "${ORVANE_QTEST_SUMMARY:-}" ]; then
    name=$(basename "$1" .exe)
    {
        grep -E '^SKIP ' "$log" | tr -d '\r'
        grep -E '^Totals: ' "$log" | tr -d '\r' | sed "s/^/$name /"
        [ $status -eq 0 ] || echo "$name FAILED (exit status $status)"
    } >>"$ORVANE_QTEST_SUMMARY"
fi
exit $status
