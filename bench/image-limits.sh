#!/usr/bin/env bash
# What hostile images cost orvane-send --image: those of tests/core/images/ and the larger ones
# that bench/large-images.py writes. For each, its peak memory (maximum resident set) and time,
# measured with /usr/bin/time -v, against the bounds that no image may pass: 512 MiB and 5 s.
# Exits with 1 when one does.
#
#   bench/image-limits.sh [BUILD_FOLDER]     (default: build, as the ci preset makes it)
#
# ORVANE_SEND=PATH measures another orvane-send, an older one for instance, on the same images.
# Each run is also held to 4 GiB of address space and 60 s, so that a regression fails here
# instead of taking the machine down.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}
MAX_RSS_KIB=$((512 * 1024))
MAX_SECONDS=5
SEND=${ORVANE_SEND:-$BUILD/bin/orvane-send}

cmake --build "$BUILD" -j2 --target orvane-send >/dev/null
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
python3 "$ROOT/bench/large-images.py" "$WORK/images"

# The machine's load changes the elapsed time; CPU time (user + system) does not.
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-48s %6s %8s %8s %8s  %s\n' image bytes "max MiB" "wall s" "cpu s" outcome
failed=0
for image in "$ROOT"/tests/core/images/*.* "$WORK"/images/*; do
    status=0
    (
        ulimit -v $((4 << 20))
        exec timeout 60 /usr/bin/time -v -o "$WORK/time" "$SEND" \
            --image "$image" --show >/dev/null 2>"$WORK/err"
    ) || status=$?
    rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$WORK/time")
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$WORK/time" |
        awk -F: '{s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s}')
    cpu=$(awk -F': ' '/User time|System time/ {s += $2} END {print s}' "$WORK/time")
    case $status in
    0) outcome=accepted ;;
    3) outcome="refused: $(head -n1 "$WORK/err" | sed "s|.*/images/[^:]*: ||")" ;;
    *) outcome="FAILED: exit status $status: $(head -n1 "$WORK/err")" ;;
    esac
    verdict=""
    if [ "$status" -ne 0 ] && [ "$status" -ne 3 ]; then
        verdict=" <-- crashed or killed"
    elif [ "${rss:-0}" -gt "$MAX_RSS_KIB" ] ||
        awk -v w="$wall" -v m="$MAX_SECONDS" 'BEGIN {exit !(w > m)}'; then
        verdict=" <-- over the bounds"
    fi
    [ -n "$verdict" ] && failed=1
    printf '%-48s %6s %8d %8.2f %8.2f  %s%s\n' "$(basename "$image")" \
        "$(numfmt --to=iec "$(stat -c %s "$image")")" $((${rss:-0} / 1024)) "$wall" "$cpu" \
        "${outcome:0:90}" "$verdict"
done
exit $failed
