#!/usr/bin/env bash
# Rebuilds qt6.4.2-mingw64.tar.xz: Qt 6.4.2 (Core, Gui, Widgets, Network without TLS, Test, SerialPort, the windows,
# offscreen and minimal platforms, gif/ico/jpeg image formats) and FreeType 2.12.1 (static), for
# x86_64-w64-mingw32 with POSIX threads, on Debian 12, as root. About 80 minutes on 2 cores.
# Sources: Debian's qt6-base 6.4.2+dfsg, qt6-serialport 6.4.2 and freetype 2.12.1+dfsg source
# packages (apt needs a deb-src line for bookworm). Where the mirror lacks qt6-serialport's
# tarball, put qtserialport's v6.4.2 sources in $W/qtserialport-6.4.2 first.
#   tools/windows/build-qt-mingw.sh [ARCHIVE]   (default: ./qt6.4.2-mingw64.tar.xz)
# Then point the windows preset at it: export ORVANE_QT_MINGW=$PWD/qt6.4.2-mingw64.tar.xz
set -euo pipefail
W=${W:-/tmp/qt-mingw-work}; PREFIX=${PREFIX:-/tmp/qt6-mingw}
here=$(cd "$(dirname "$0")" && pwd)
archive=$(realpath -m "${1:-qt6.4.2-mingw64.tar.xz}")
apt-get install -y -q g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools \
    qt6-base-dev qt6-base-dev-tools cmake ninja-build
mkdir -p "$W" && cd "$W"
apt-get source --download-only qt6-base freetype
tar xf qt6-base_6.4.2+dfsg.orig.tar.xz && tar xf freetype_2.12.1+dfsg.orig.tar.xz
if [ ! -d qtserialport-6.4.2 ]; then
    apt-get source --download-only qt6-serialport ||
        { echo "put qtserialport v6.4.2 sources in $W/qtserialport-6.4.2" >&2; exit 1; }
    mkdir qtserialport-6.4.2 && tar xf qt6-serialport_6.4.2.orig.tar.xz -C qtserialport-6.4.2 --strip-components=1
fi

# Debian's +dfsg source lacks wintab.h, and this QtGui build does not export the DirectWrite font
# database: build the windows platform plugin without tablet input and without that font engine.
cd qtbase-everywhere-src-6.4.2/src/plugins/platforms/windows
sed -i 's/QT_CONFIG(tabletevent)/0 \/* no wintab.h here *\//' qwindowspointerhandler.h qwindowspointerhandler.cpp qwindowscontext.cpp
sed -i 's/CONDITION QT_FEATURE_tabletevent/CONDITION FALSE/' CMakeLists.txt
sed -i 's/^#if QT_CONFIG(directwrite3)/#if 0 \/* not exported by this QtGui build *\//' qwindowsintegration.cpp
cd "$W"

mkdir -p build-qt && cd build-qt
../qtbase-everywhere-src-6.4.2/configure -prefix "$PREFIX" -xplatform win32-g++ \
  -device-option CROSS_COMPILE=x86_64-w64-mingw32- -qt-host-path /usr -release -opensource -confirm-license \
  -nomake examples -nomake tests -no-opengl -no-dbus -no-icu -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype \
  -qt-harfbuzz -qt-pcre -no-feature-sql -no-feature-ssl -no-feature-dtls -no-feature-ocsp -no-feature-schannel -no-feature-printsupport -no-feature-concurrent \
  -no-feature-xml -no-feature-vulkan -no-feature-direct2d \
  -- -DCMAKE_TOOLCHAIN_FILE="$here/mingw64.cmake" -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
cmake --build . --parallel "$(nproc)" && cmake --install .
cd "$W" && mkdir -p build-sp && cd build-sp
"$PREFIX/bin/qt-configure-module" ../qtserialport-6.4.2 && cmake --build . --parallel "$(nproc)" && cmake --install .
cd "$W" && mkdir -p build-ft && cd build-ft
cmake -G Ninja ../freetype-2.12.1 -DCMAKE_TOOLCHAIN_FILE="$here/mingw64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$PREFIX" -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON \
  -DFT_DISABLE_BROTLI=ON -DBUILD_SHARED_LIBS=OFF
ninja install
cd "$(dirname "$PREFIX")" && tar -cJf "$archive" --owner=0 --group=0 --sort=name "$(basename "$PREFIX")"
