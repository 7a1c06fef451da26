#!/usr/bin/env bash
# orvane-send(1) and `orvane-send --help` must name the same long options, in whatever layout:
# every "--word" counts.   check-send-options.sh ORVANE_SEND MAN_PAGE
set -euo pipefail
send=$1 page=$2

# Prints each distinct --long-option named in the text on standard input.
long_options() { grep -oE -- '(^|[^[:alnum:]-])--[[:alnum:]][[:alnum:]-]*' | sed 's/^[^-]//' | sort -u; }

help=$("$send" --help) || { echo "FAILED: $send --help exited with status $?"; exit 1; }
from_help=$(long_options <<<"$help")
# The page's source: drop font changes (\fB ... \fR) and turn escaped hyphens (\-) into hyphens.
from_page=$(sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' "$page" | long_options)

# An extraction that finds nothing would make the comparison pass vacuously.
for var in from_help from_page; do
    grep -qx -- '--help' <<<"${!var}" || { echo "FAILED: no --help found in ${var#from_}"; exit 1; }
done

only_page=$(comm -23 <(echo "$from_page") <(echo "$from_help"))
only_help=$(comm -13 <(echo "$from_page") <(echo "$from_help"))
if [ -z "$only_page$only_help" ]; then
    echo "ok: $(wc -l <<<"$from_help") long options, the same in $page and --help"; exit 0
fi
# shellcheck disable=SC2086 # one line of words
echo "FAILED: only in $(basename "$page"):" ${only_page:-none} "; only in --help:" ${only_help:-none}
exit 1
