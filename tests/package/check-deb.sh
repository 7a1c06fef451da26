#!/usr/bin/env bash
# Builds the Debian package, unpacks it and checks what a user gets: binaries, desktop entry, icons,
# documents, AppStream metadata and package fields; lintian must find no error and no warning.
set -euo pipefail
for tool in lintian appstreamcli; do
    command -v "$tool" >/dev/null || { echo "FAILED: no $tool (scripts/test installs it)"; exit 1; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack --config "$1/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/out/orvane_*.deb)
dpkg-deb -x "$deb" "$scratch/root"

check() { if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; fail=1; fi; } # DESCRIPTION COMMAND...
fail=0 root=$scratch/root/usr
desktop=$root/share/applications/orvane.desktop
doc=$root/share/doc/orvane
for f in bin/orvane bin/orvane-send; do check "binary $f" test -x "$root/$f"; done
for f in "$desktop" "$root"/share/icons/hicolor/{16x16/apps/orvane.png,32x32/apps/orvane.png,scalable/apps/orvane.svg} "$doc"/{LICENSE,copyright}; do
    check "${f#"$root"/}" test -f "$f"; done
check "desktop entry validates" desktop-file-validate "$desktop"
check "desktop entry names its icon" grep -qx 'Icon=orvane' "$desktop"
for line in 'Files: src/core/fonts/5x8.bdf' 'Files: src/core/fonts/galmuri7-hangul.bdf.*' \
    ' SIL OPEN FONT LICENSE Version 1.1 - 26 February 2007'; do
    check "copyright: $line" grep -qx "$line" "$doc/copyright"; done
for f in "$doc/changelog" "$root"/share/man/{,ko/}man1/orvane{,-send}.1; do
    check "${f#"$root"/}.gz" gzip -t "$f.gz"; done
for key in 'GenericName[ko]' 'Comment[ko]'; do
    check "desktop entry has $key" grep -qF "$key=" "$desktop"; done
check "changelog of this version" \
    grep -q "^orvane ($(dpkg-deb -f "$deb" Version))" <(zcat "$doc/changelog.gz")
metainfo=$root/share/metainfo/kr.co.corvel.orvane.metainfo.xml
check "AppStream metadata validates" appstreamcli validate --no-net "$metainfo"
check "AppStream metadata has a Korean summary" grep -q '<summary xml:lang="ko">' "$metainfo"
check "Recommends Qt's translations" grep -q qt6-translations-l10n <<<"$(dpkg-deb -f "$deb" Recommends)"
check "AppStream metadata launches the desktop entry" \
    grep -q '<launchable type="desktop-id">orvane.desktop</launchable>' "$metainfo"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6network6 libfreetype6 zlib1g libc6; do
    check "depends on $lib" grep -q "$lib" <<<"$depends"; done
for field in Maintainer Description; do check "$field" test -n "$(dpkg-deb -f "$deb" $field)"; done

# Informational (I:) and pedantic (P:) tags are not counted; running as root is no finding.
lintian_check() {
    lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges'; return "${PIPESTATUS[0]}"; }
check "lintian finds no error or warning" lintian_check
exit $fail
