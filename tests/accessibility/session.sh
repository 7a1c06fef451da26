#!/usr/bin/env bash
# Runs a command the way a screen reader meets the editor on Linux: on a private X server
# (Xvfb), in a private D-Bus session with its own AT-SPI bus, with Qt's accessibility on.
#   session.sh COMMAND [ARG...]
# Exits with 77 (ctest's "skipped") when a tool is missing; scripts/lib.sh installs them all.
set -euo pipefail

launcher=/usr/libexec/at-spi-bus-launcher
for tool in Xvfb dbus-run-session "$launcher"; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

if [ -z "${ORVANE_A11Y_SESSION:-}" ]; then
    # Xvfb picks a free display and says which; -noreset keeps it up between clients.
    displayfile=$(mktemp)
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3>"$displayfile" \
        >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill "$xvfb" 2>/dev/null; rm -f "$displayfile"' EXIT
    trap 'exit 143' TERM INT # a timeout's signal still takes the X server down
    for _ in $(seq 100); do
        [ -s "$displayfile" ] && break
        sleep 0.1
    done
    [ -s "$displayfile" ] || { echo "FAILED: Xvfb did not start"; exit 1; }
    status=0
    DISPLAY=":$(head -n1 "$displayfile")" ORVANE_A11Y_SESSION=1 \
        dbus-run-session -- "$0" "$@" || status=$?
    exit "$status"
fi

# Inside the D-Bus session: the AT-SPI bus first, then the command.
"$launcher" --launch-immediately >/dev/null 2>&1 &
bus=$!
trap 'kill "$bus" 2>/dev/null' EXIT
trap 'exit 143' TERM INT
sleep 1
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
# Under AddressSanitizer: libxkbcommon-x11 (Qt's xcb platform) gives strndup names that end at
# their length, not at a zero, which is allowed; ASan's strict string checks take that for an
# overflow. Later options win.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi
"$@"
