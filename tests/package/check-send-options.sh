#!/usr/bin/env bash
# Keeps orvane-send(1) and `orvane-send --help` in step: both must name the same set of long
# options. Neither side is trusted to list them in a given layout; every "--word" counts.
#   check-send-options.sh ORVANE_SEND MAN_PAGE
set -euo pipefail
send=$1
page=$2

# Prints each distinct --long-option named in the text on standard input.
long_options() {
    grep -oE -- '(^|[^[:alnum:]-])--[[:alnum:]][[:alnum:]-]*' | sed 's/^[^-]//' | sort -u
}

help=$("$send" --help) || { echo "FAILED: $send --help exited with status $?"; exit 1; }
from_help=$(long_options <<<"$help")
# The page's source: drop font changes (\fB ... \fR) and turn escaped hyphens (\-) into hyphens.
from_page=$(sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' "$page" | long_options)

# An extraction that finds nothing would make the comparison pass vacuously.
for side in help page; do
    var=from_$side
    grep -qx -- '--help' <<<"${!var}" || { echo "FAILED: no --help found in the $side"; exit 1; }
done

only_page=$(comm -23 <(echo "$from_page") <(echo "$from_help"))
only_help=$(comm -13 <(echo "$from_page") <(echo "$from_help"))
[ -z "$only_page" ] && [ -z "$only_help" ] && {
    echo "ok: $(wc -l <<<"$from_help") long options, the same in $page and --help"
    exit 0
}
[ -n "$only_page" ] && echo "FAILED: in $(basename "$page") but not in --help:" $only_page
[ -n "$only_help" ] && echo "FAILED: in --help but not in $(basename "$page"):" $only_help
exit 1
