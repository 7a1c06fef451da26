# Shared by scripts/run and scripts/test: package installation and the build.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Packages needed to configure, build and run the programs (scripts/run installs only these).
# Fonts are read through FreeType (gzip-compressed ones unpacked with zlib); Python packs the
# bundled fonts at build time. Translations: Qt Linguist's tools (qt6-tools-dev, qt6-l10n-tools)
# and Qt's own translations (qt6-translations-l10n).
RUN_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev
    libfreetype-dev zlib1g-dev python3 qt6-tools-dev qt6-l10n-tools qt6-translations-l10n)

# Packages the tests, benchmarks and package checks need as well (time: bench/image-limits.sh;
# Python: bench/many-signs.py and bench/large-images.py). The tests read Debian's X11 bitmap
# fonts (xfonts-base) and an outline font (fonts-dejavu-core), and talk to signs on the network
# through ser2net. The accessibility tests run the window on a private X server with its own
# D-Bus session and AT-SPI bus, read by a pyatspi client (Debian's /usr/bin/python3).
BUILD_PACKAGES=("${RUN_PACKAGES[@]}" ser2net xfonts-base
    fonts-dejavu-core libbenchmark-dev dpkg-dev desktop-file-utils lintian appstream time
    xvfb dbus-daemon at-spi2-core python3-pyatspi)

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

# Configures and builds with the given preset; further arguments go to the build (--target X).
build_with_preset() {
    local preset=$1
    shift
    cmake --preset "$preset" -S "$ROOT" >/dev/null
    cmake --build --preset "$preset" "$@"
}

# The archive of Qt for Windows that the windows preset unpacks: ORVANE_QT_MINGW, else the one
# beside the clone in ../shared/toolchains/. Prints its path, or nothing when there is none.
find_qt_mingw() {
    local candidate
    for candidate in "${ORVANE_QT_MINGW:-}" "$ROOT/../shared/toolchains/qt6.4.2-mingw64.tar.xz"; do
        if [ -n "$candidate" ] && [ -f "$candidate" ]; then
            (cd "$(dirname "$candidate")" && echo "$PWD/$(basename "$candidate")")
            return 0
        fi
    done
}
