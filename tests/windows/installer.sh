#!/usr/bin/env bash
# The Windows packages made by cpack, under Wine: the zip holds both programs with their DLLs,
# plugins and licences, and runs from where it is unpacked; the installer runs silently (/S),
# installs the same files, a Start-menu entry for the editor and an uninstaller; the installed
# orvane-send.exe answers --version; the uninstaller (/S) removes all of it again.
#   installer.sh WINDOWS_BUILD_DIR
set -uo pipefail
build=$(realpath "$1")
wine_run=$(cd "$(dirname "$0")/../../scripts" && pwd)/wine-run
export WINEPREFIX=${WINEPREFIX:-$build/wine}
wineserver=/usr/lib/wine/wineserver
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
zip=$build/orvane-$version-win64.zip
setup=$build/orvane-$version-win64-setup.exe
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
ok() { echo "ok: $*"; }
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

for package in "$zip" "$setup"; do
    [ -f "$package" ] || { echo "FAILED: $package is missing (run cpack in $build)"; exit 1; }
done

# The zip: every file the programs need, found by name.
unzip -q "$zip" -d "$work/zip"
top=$work/zip/orvane-$version-win64
(cd "$top" && find . -type f | sed 's|^\./||' | sort) >"$work/zip.txt"
missing=
for file in bin/orvane.exe bin/orvane-send.exe bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll \
    bin/Qt6SerialPort.dll bin/Qt6Network.dll bin/libstdc++-6.dll bin/libgcc_s_seh-1.dll bin/libwinpthread-1.dll bin/zlib1.dll \
    bin/platforms/qwindows.dll bin/styles/qwindowsvistastyle.dll bin/imageformats/qjpeg.dll \
    doc/LICENSE doc/LGPL-3.txt doc/GPL-3.txt doc/third-party.txt doc/fonts.txt doc/OFL-galmuri7.txt doc/copyright; do
    grep -qx "$file" "$work/zip.txt" || missing+=" $file"
done
if [ -z "$missing" ]; then ok "the zip holds $(wc -l <"$work/zip.txt") files"; else fail "not in the zip:$missing"; fi
for file in bin/platforms/qoffscreen.dll bin/Qt6Test.dll; do
    grep -qx "$file" "$work/zip.txt" && fail "the zip holds $file, which only the tests use"
done
grep -q "qt6-base 6.4.2+dfsg" "$top/doc/third-party.txt" && grep -q "FreeType Project" "$top/doc/third-party.txt" ||
    fail "doc/third-party.txt names neither Qt's source nor FreeType"
# The editor is a GUI program and orvane-send a console program; both name product, maker and
# version in their version information.
for program in "orvane:Windows GUI" "orvane-send:Windows CUI"; do
    exe=$top/bin/${program%%:*}.exe
    subsystem=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^Subsystem[[:space:]]*[0-9a-f]*[[:space:]]*(\(.*\))$/\1/p')
    info=$(strings -el "$exe" | tr '\n' '|')
    if [ "$subsystem" = "${program#*:}" ] && [[ $info == *"|ProductName|Orvane|"* ]] &&
        [[ $info == *"|CompanyName|Corvel Electronics co.|"* ]] && [[ $info == *"|ProductVersion|$version|"* ]]; then
        ok "${program%%:*}.exe: $subsystem, Orvane $version by Corvel Electronics co."
    else
        fail "${program%%:*}.exe: subsystem \"$subsystem\", version information ${info:0:300}"
    fi
done
said=$("$wine_run" "$top/bin/orvane-send.exe" --version | tr -d '\r')
[ "$said" = "orvane-send $version" ] && ok "unpacked: orvane-send.exe --version: $said" ||
    fail "unpacked: orvane-send.exe --version said \"$said\""

# The installer, silently, into the default folder.
installed=$WINEPREFIX/drive_c/Program\ Files/Orvane
"$wine_run" "$setup" /S
"$wineserver" -w
(cd "$installed" 2>/dev/null && find . -type f | sed 's|^\./||' | sort) >"$work/installed.txt"
{ cat "$work/zip.txt"; echo Uninstall.exe; } | sort >"$work/expected.txt"
if cmp -s "$work/expected.txt" "$work/installed.txt"; then
    ok "installed in C:\\Program Files\\Orvane: the zip's $(wc -l <"$work/zip.txt") files and Uninstall.exe"
else
    fail "installed files differ from the zip's:"
    diff "$work/expected.txt" "$work/installed.txt" | head
fi
said=$("$wine_run" 'C:\Program Files\Orvane\bin\orvane-send.exe' --version | tr -d '\r')
[ "$said" = "orvane-send $version" ] && ok "installed: orvane-send.exe --version: $said" ||
    fail "installed: orvane-send.exe --version said \"$said\""
shortcut=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Orvane/Orvane.lnk' | head -1)
[ -n "$shortcut" ] && ok "Start menu: ${shortcut#"$WINEPREFIX/drive_c/"}" ||
    fail "no Start-menu entry Orvane\\Orvane.lnk"
"$wineserver" -w
grep -q 'Uninstall\\\\Orvane' "$WINEPREFIX/system.reg" && ok "listed among the installed programs" ||
    fail "no uninstall entry in the registry"

# The uninstaller copies itself away and runs from there; wait until the prefix is idle.
"$wine_run" 'C:\Program Files\Orvane\Uninstall.exe' /S
"$wineserver" -w
left=$(find "$installed" -type f 2>/dev/null | wc -l)
[ "$left" -eq 0 ] && [ ! -e "$installed" ] && ok "uninstalled: C:\\Program Files\\Orvane is gone" ||
    fail "after uninstalling, $left files are left in C:\\Program Files\\Orvane"
[ -z "$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Orvane*' | head -1)" ] &&
    ok "uninstalled: the Start-menu entries are gone" || fail "Start-menu entries are left"
grep -q 'Uninstall\\\\Orvane' "$WINEPREFIX/system.reg" && fail "the uninstall entry is left" ||
    ok "uninstalled: no longer listed among the installed programs"

[ "$failures" -eq 0 ]
