#!/usr/bin/env bash
# Builds the Debian package from the build folder, unpacks it into a scratch folder and checks
# what a user gets: the binaries, a valid desktop entry, the icons and the package fields.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/out/orvane_*.deb)
dpkg-deb -x "$deb" "$scratch/root"

fail=0
check() { # check DESCRIPTION COMMAND...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi
}
root=$scratch/root/usr
check "binary orvane" test -x "$root/bin/orvane"
check "binary orvane-send" test -x "$root/bin/orvane-send"
check "desktop entry" test -f "$root/share/applications/orvane.desktop"
check "desktop entry validates" desktop-file-validate "$root/share/applications/orvane.desktop"
check "desktop entry names its icon" grep -qx 'Icon=orvane' "$root/share/applications/orvane.desktop"
check "icon 16x16" test -f "$root/share/icons/hicolor/16x16/apps/orvane.png"
check "icon 32x32" test -f "$root/share/icons/hicolor/32x32/apps/orvane.png"
check "icon scalable" test -f "$root/share/icons/hicolor/scalable/apps/orvane.svg"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libc6; do
    check "depends on $lib" grep -q "$lib" <<<"$depends"
done
check "maintainer field" test -n "$(dpkg-deb -f "$deb" Maintainer)"
check "description" test -n "$(dpkg-deb -f "$deb" Description)"
exit $fail
