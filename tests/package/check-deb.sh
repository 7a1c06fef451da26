#!/usr/bin/env bash
# Builds the Debian package from the build folder, unpacks it into a scratch folder and checks
# what a user gets: the binaries, a valid desktop entry, the icons, the documents, valid AppStream
# metadata and the package fields; then lintian must find no error and no warning.
set -euo pipefail
build=$1
for tool in lintian appstreamcli; do
    command -v "$tool" >/dev/null ||
        { echo "FAILED: $tool is not installed (scripts/test installs it)"; exit 1; }
done
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
doc=$root/share/doc/orvane
check "licence" test -f "$doc/LICENSE"
check "copyright file" test -f "$doc/copyright"
check "copyright names the font" grep -qx 'Files: src/text/fonts/\*' "$doc/copyright"
check "changelog" gzip -t "$doc/changelog.gz"
check "changelog of this version" \
    grep -q "^orvane ($(dpkg-deb -f "$deb" Version))" <(zcat "$doc/changelog.gz")
check "manual page orvane(1)" gzip -t "$root/share/man/man1/orvane.1.gz"
check "manual page orvane-send(1)" gzip -t "$root/share/man/man1/orvane-send.1.gz"
metainfo=$root/share/metainfo/kr.co.corvel.orvane.metainfo.xml
check "AppStream metadata validates" appstreamcli validate --no-net "$metainfo"
check "AppStream metadata launches the desktop entry" \
    grep -q '<launchable type="desktop-id">orvane.desktop</launchable>' "$metainfo"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libc6; do
    check "depends on $lib" grep -q "$lib" <<<"$depends"
done
check "maintainer field" test -n "$(dpkg-deb -f "$deb" Maintainer)"
check "description" test -n "$(dpkg-deb -f "$deb" Description)"

# lintian has a tag for each finding; informational ones (I:) and pedantic ones (P:) are not
# counted. It complains when run as root, which is no finding.
lintian_check() {
    lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges'
    return "${PIPESTATUS[0]}"
}
check "lintian finds no error or warning" lintian_check
exit $fail
