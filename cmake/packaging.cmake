# Debian package: `cpack -G DEB` in the build folder writes orvane_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME "orvane")
set(CPACK_PACKAGE_VENDOR "Corvel Electronics co.")
set(CPACK_PACKAGE_CONTACT "Orvane maintainers <orvane@corvel.co.kr>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for an 8 x 50 dot-matrix sign")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvane draws pictures for an 8 row by 50 column dot-matrix sign, keeps them in plain\n\
text files and downloads picture and speed to the sign over a serial line.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Orvane")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.corvel.co.kr")
# Run-time dependencies come from the libraries the binaries link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The file dialog's filter list has Korean words.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-nanum | fonts-noto-cjk")

include(CPack)
