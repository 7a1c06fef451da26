#!/usr/bin/env bash
# Runs a Qt Test program of the Windows build under Wine for ctest (its cross-compiling
# emulator): PROGRAM.exe [ARGUMENT]...
# Qt Test on Windows logs to the debugger when the program has no console window, as under Wine;
# so the log goes to a file, shown afterwards. When ORVANE_QTEST_SUMMARY names a file, the
# program's totals and skipped tests are added to it.
set -uo pipefail
log=$(mktemp "${TMPDIR:-/tmp}/qtest-XXXXXX.txt")
trap 'rm -f "$log" "$log.shown"' EXIT
"$(dirname "$0")/../../scripts/wine-run" "$@" -o "$log,txt" </dev/null
status=$?
tr -d '\r' <"$log" | tee "$log.shown"
[ $status -eq 0 ] || echo "FAILED (exit status $status)" >>"$log.shown"
[ -z "${ORVANE_QTEST_SUMMARY:-}" ] ||
    grep -E '^(SKIP |Totals: |FAILED)' "$log.shown" | sed "/^SKIP /!s/^/$(basename "$1" .exe) /" >>"$ORVANE_QTEST_SUMMARY"
exit $status
