# Shared by scripts/run and scripts/test: package installation and the build.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Packages needed to configure, build and test (time: bench/image-limits.sh). Fonts are read through FreeType (gzip-compressed
# ones unpacked with zlib); the tests read Debian's X11 bitmap fonts (xfonts-base) and an outline
# font (fonts-dejavu-core). Translations: Qt Linguist's tools (qt6-tools-dev, qt6-l10n-tools) and
# Qt's own translations (qt6-translations-l10n); Python packs the bundled fonts at build time.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev ser2net
    libfreetype-dev zlib1g-dev xfonts-base qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    python3 fonts-dejavu-core libbenchmark-dev dpkg-dev desktop-file-utils lintian appstream time)

# Packages for the fuzz targets (scripts/test, scripts/fuzz): clang and its libFuzzer runtime.
FUZZ_PACKAGES=(clang libclang-rt-dev)

# Packages for the Windows build and its tests: the mingw-w64 cross compiler, ImageMagick for
# the programs' icon, Wine to run the result, NSIS for the installer, Python for the serial test,
# Debian's locale sources for running it under a Korean locale.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev imagemagick wine64 nsis unzip python3
    locales)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "error: need root (or sudo) to run: $*" >&2
        return 1
    fi
}

# Installs those of the named Debian packages that are not installed yet.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    if [ -z "${ORVANE_APT_UPDATED:-}" ]; then
        as_root apt-get update -qq
        ORVANE_APT_UPDATED=1
    fi
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# Configures and builds with the given preset.
build_with_preset() {
    local preset=$1
    cmake --preset "$preset" -S "$ROOT" >/dev/null
    cmake --build --preset "$preset"
}
