# Shared by scripts/run and scripts/test: package installation and the build.
# shellcheck shell=bash

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Packages needed to configure, build and test (time: bench/image-limits.sh). Fonts are read through FreeType (gzip-compressed
# ones unpacked with zlib); the tests read Debian's X11 bitmap fonts (xfonts-base) and an outline
# font (fonts-dejavu-core). The accessibility tests run the window on a private X server with its
# own D-Bus session and AT-SPI bus, read by a pyatspi client (Debian's /usr/bin/python3).
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev ser2net
    libfreetype-dev zlib1g-dev xfonts-base
    fonts-dejavu-core libbenchmark-dev dpkg-dev desktop-file-utils lintian appstream time
    xvfb dbus-daemon at-spi2-core python3-pyatspi)

# Packages for the fuzz targets (scripts/test, scripts/fuzz): clang and its libFuzzer runtime.
FUZZ_PACKAGES=(clang libclang-rt-dev)

# Packages for the Windows build and its tests: the mingw-w64 cross compiler, ImageMagick for
# the programs' icon, Wine to run the result, NSIS for the installer, Python for the serial test.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev imagemagick wine64 nsis unzip python3)

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
