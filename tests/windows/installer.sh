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
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
check() { if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; } # DESCRIPTION COMMAND...
not() { ! "$@"; }
fail=0
wait_idle() { /usr/lib/wine/wineserver -w; }
answers_version() { [ "$("$wine_run" "$1" --version | tr -d '\r')" = "orvane-send $version" ]; }
menu_entry() { find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Orvane*' | grep -q "$1"; }
listed() { wait_idle && grep -q 'Uninstall\\\\Orvane' "$WINEPREFIX/system.reg"; }

# The zip: every file the programs need, found by name, and none that only the tests use.
unzip -q "$build/orvane-$version-win64.zip" -d "$work/zip" || exit 1
top=$work/zip/orvane-$version-win64
(cd "$top" && find . -type f | sed 's|^\./||' | sort) >"$work/zip.txt"
for file in bin/{orvane.exe,orvane-send.exe,Qt6{Core,Gui,Widgets,SerialPort,Network}.dll} \
    bin/{libstdc++-6,libgcc_s_seh-1,libwinpthread-1,zlib1}.dll bin/platforms/qwindows.dll \
    bin/styles/qwindowsvistastyle.dll bin/imageformats/qjpeg.dll bin/translations/qtbase_ko.qm \
    doc/{LICENSE,LGPL-3.txt,GPL-3.txt,third-party.txt,fonts.txt,OFL-galmuri7.txt,copyright}; do
    grep -qx "$file" "$work/zip.txt" || check "the zip holds $file" false
done
check "the zip holds no test-only file" not grep -qxE 'bin/(platforms/qoffscreen|Qt6Test)\.dll' "$work/zip.txt"
check "third-party.txt names Qt's source and FreeType" \
    grep -qz 'qt6-base 6.4.2+dfsg.*FreeType Project' "$top/doc/third-party.txt"
# The editor is a GUI program and orvane-send a console program; both name product, maker and
# version in their version information.
for program in "orvane:Windows GUI" "orvane-send:Windows CUI"; do
    exe=$top/bin/${program%%:*}.exe
    subsystem=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^Subsystem.*(\(.*\))$/\1/p')
    check "${program%%:*}.exe: ${program#*:}" test "$subsystem" = "${program#*:}"
    info="|$(strings -el "$exe" | tr '\n' '|')"
    for field in "ProductName|Orvane" "CompanyName|Corvel Electronics co." "ProductVersion|$version"; do
        [[ $info == *"|$field|"* ]] || check "${program%%:*}.exe names $field" false
    done
done
check "unpacked: orvane-send.exe --version" answers_version "$top/bin/orvane-send.exe"

# The installer speaks English and Korean, and asks which at its start (unless silent).
nsi=$(find "$build/_CPack_Packages" -name project.nsi -path '*NSIS*' | head -1)
check "the installer offers English and Korean, and only those" \
    test "$(grep -o 'MUI_LANGUAGE "[A-Za-z]*"' "$nsi" | tr '\n' ' ')" = 'MUI_LANGUAGE "English" MUI_LANGUAGE "Korean" '
check "the installer asks for the language" grep -q 'MUI_LANGDLL_DISPLAY' "$nsi"

# The installer, silently, into the default folder: the zip's files and the uninstaller.
installed=$WINEPREFIX/drive_c/Program\ Files/Orvane
"$wine_run" "$build/orvane-$version-win64-setup.exe" /S && wait_idle
check "installed the zip's files and Uninstall.exe" cmp -s <(sort "$work/zip.txt" - <<<Uninstall.exe) \
    <(cd "$installed" 2>/dev/null && find . -type f | sed 's|^\./||' | sort)
check "installed: orvane-send.exe --version" answers_version 'C:\Program Files\Orvane\bin\orvane-send.exe'
check "a Start-menu entry Orvane\\Orvane.lnk" menu_entry 'Orvane/Orvane.lnk'
check "listed among the installed programs" listed

# The uninstaller copies itself away and runs from there; wait until the prefix is idle.
"$wine_run" 'C:\Program Files\Orvane\Uninstall.exe' /S && wait_idle
check "uninstalled: C:\\Program Files\\Orvane is gone" test ! -e "$installed"
check "uninstalled: the Start-menu entries are gone" not menu_entry Orvane
check "uninstalled: no longer listed" not listed
exit $fail
