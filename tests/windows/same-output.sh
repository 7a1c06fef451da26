#!/usr/bin/env bash
# orvane-send.exe under Wine prints, saves and renders exactly what the Linux build does, byte for
# byte: frames and pictures on standard output, pattern files (--save) and images (--png), from
# texts, images and pattern files (also read from standard input), and the same message and exit
# code for a refused file, also in Korean.
#   same-output.sh LINUX_ORVANE_SEND WINDOWS_BUILD_DIR
set -uo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")/bin/orvane-send.exe
wine_run=$(cd "$(dirname "$0")/../../scripts" && pwd)/wine-run
export WINEPREFIX=${WINEPREFIX:-$(realpath "$2")/wine}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

# A pattern file with odd bytes (Ctrl+Z, Latin-1) and CR LF line ends; an image, made by the
# Linux build.
{ printf 'R\032RrXB\r\n\xe9\xff R\r\n' && printf 'BBBBBBBB\r\n%.0s' $(seq 48) && printf ' 3 \r\n\r\n'; } >odd.txt
printf 'not a pattern file\n' >bad.txt
"$linux" --text "Open 9-17" --png logo.png --scale 2 >/dev/null || exit 1

failures=0 cases=0
# Runs one case with both builds in this folder; OUTPUTS are files each writes besides its
# standard output. Arguments: NAME "ARGUMENTS" [OUTPUT]...  (standard input: STDIN if set)
check() {
    local name=$1 args=$2 side run
    shift 2
    cases=$((cases + 1))
    for side in linux windows; do
        rm -f "$@"
        run=("$linux") && [ $side = windows ] && run=("$wine_run" "$windows")
        # shellcheck disable=SC2086 # the arguments are words; standard error is CR LF on Windows
        { "${run[@]}" $args <"${STDIN:-/dev/null}" 2>"$side.err"; echo "exit $?"; tr -d '\r' <"$side.err"
          cat "$@"; } >"$side.out" 2>&1
        # Windows writes text in its ANSI code page (949 for Korean); Linux in UTF-8.
        [ $side = linux ] || [ -z "${ANSI:-}" ] || { iconv -f "$ANSI" -t UTF-8 windows.out >win.utf8 && mv win.utf8 windows.out; }
    done
    if cmp -s linux.out windows.out; then echo "ok: $name ($(wc -c <linux.out) bytes)"; else
        echo "FAILED: $name differs:"
        diff <(od -c linux.out) <(od -c windows.out) | head -10
        failures=$((failures + 1))
    fi
}

check "--text HI --frame" "--text HI --frame"
check "--text HI --show" "--text HI --show"
LANG=C.UTF-8 check "Hangul --text --frame" "--text 한글 --frame"
check "text, centred, --save and --png" "--text Open_9-17 --align center --speed 9 --save t.txt --png t.png --scale 3" t.txt t.png
check "inverted image --frame" "--image logo.png --invert --frame"
check "--image --show" "--image logo.png --show"
check "--image --frame --save --png" "--image logo.png --threshold 40 --frame --save i.txt --png i.png" i.txt i.png
check "pattern file --show --save" "odd.txt --show --save o.txt" o.txt
STDIN=odd.txt check "standard input --frame --save --png" "- --frame --save s.txt --png s.png" s.txt s.png
check "a refused file" "bad.txt --frame"
# Under a Korean locale, as a Korean Windows has it (display language Korean, code page 949: Wine
# takes both from the locale, made here from Debian's locale sources), the same Korean words and
# exit codes: a refusal, bad usage and the help's first line.
mkdir -p "$work/locales" && localedef -i ko_KR -f UTF-8 "$work/locales/ko_KR.UTF-8"
/usr/lib/wine/wineserver -k 2>/dev/null # the next Wine program starts in the new locale
export LOCPATH=$work/locales
LANG=ko_KR.UTF-8 ANSI=CP949 check "a refused file, in Korean" "bad.txt --frame"
LANG=ko_KR.UTF-8 ANSI=CP949 check "bad usage, in Korean" "bad.txt --port 0"
cases=$((cases + 1))
if LANG=ko_KR.UTF-8 "$wine_run" "$windows" --help 2>&1 | iconv -f CP949 -t UTF-8 | head -1 |
    grep -q '^사용법: orvane-send'; then
    echo "ok: --help in Korean"; else echo "FAILED: --help under LANG=ko_KR.UTF-8 is not Korean"
    failures=$((failures + 1)); fi
unset LOCPATH
/usr/lib/wine/wineserver -k 2>/dev/null

echo "$cases cases, $failures differ"
[ "$failures" -eq 0 ]
