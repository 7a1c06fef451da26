# Debian package: `cpack -G DEB` in the build folder writes orvane_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME "orvane")
set(CPACK_PACKAGE_VENDOR "Corvel Electronics co.")
set(CPACK_PACKAGE_CONTACT "Orvane maintainers <orvane@corvel.co.kr>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for an 8 x 50 dot-matrix sign")
# The extended description of the Debian package: lines under 80 characters, an empty line
# between paragraphs.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Orvane draws pictures for a dot-matrix sign of 8 rows by 50 columns: click"
  "dots, type text in a bitmap font or drop an image on the window, undo and"
  "redo. Pictures are kept in plain text pattern files, and picture and speed"
  "are downloaded to the sign over a serial line (built-in ports, USB serial"
  "adapters and USB CDC devices)."
  ""
  "The package also holds orvane-send, which sends a pattern file, a text or an"
  "image to the sign from the command line, or prints, saves or renders it, for"
  "scripts and scheduled jobs.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Orvane")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.corvel.co.kr")
# Run-time dependencies come from the libraries the binaries link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The file dialog's filter list has Korean words; Qt's own dialogs and buttons take their
# translations from qt6-translations-l10n.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-nanum | fonts-noto-cjk, qt6-translations-l10n")

# Windows: `cpack` in the build folder of the windows preset writes the portable
# orvane-<version>-win64.zip and the installer orvane-<version>-win64-setup.exe (NSIS: makensis
# from Debian's nsis package). Both hold bin\ (the two programs with the DLLs and plugins they
# need) and doc\ (the licences).
if(WIN32)
  set(CPACK_GENERATOR ZIP NSIS)
  set(CPACK_PACKAGE_FILE_NAME "orvane-${PROJECT_VERSION}-win64")
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/windows/cpack-options.cmake)
  set(CPACK_PACKAGE_EXECUTABLES orvane Orvane) # the Start-menu entry
  set(CPACK_NSIS_PACKAGE_NAME "Orvane")
  set(CPACK_NSIS_DISPLAY_NAME "Orvane ${PROJECT_VERSION}")
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  set(CPACK_NSIS_MUI_ICON ${ORVANE_ICO})
  set(CPACK_NSIS_MUI_UNIICON ${ORVANE_ICO})
  set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\orvane.exe")
  set(CPACK_NSIS_URL_INFO_ABOUT "https://www.corvel.co.kr")
  set(CPACK_NSIS_CONTACT "${CPACK_PACKAGE_CONTACT}")
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
  # A 64-bit installer, like the programs it installs (and what 64-bit Wine runs). It speaks
  # English or Korean, as chosen at its start (asked unless silent; Windows' display language
  # comes first) and remembered for the uninstaller.
  string(JOIN "\n  " CPACK_NSIS_DEFINES "Target amd64-unicode"
    "!define MUI_LANGDLL_REGISTRY_ROOT SHCTX"
    "!define MUI_LANGDLL_REGISTRY_KEY 'Software\\\\${CPACK_PACKAGE_VENDOR}\\\\${CPACK_PACKAGE_INSTALL_DIRECTORY}'"
    "!define MUI_LANGDLL_REGISTRY_VALUENAME 'Installer Language'")
  # CPack's own NSIS template, as this CMake has it, with those two languages instead of its
  # sixty and the question of the language at the start of both installer and uninstaller.
  file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in nsis)
  string(REGEX REPLACE "(!insertmacro MUI_LANGUAGE \"English\"[^\n]*\n)( *!insertmacro MUI_LANGUAGE \"[A-Za-z]+\"\n)+"
         "\\1  !insertmacro MUI_LANGUAGE \"Korean\"\n  !insertmacro MUI_RESERVEFILE_LANGDLL\n" nsis "${nsis}")
  string(REPLACE "Function .onInit\n" "Function .onInit\n  !insertmacro MUI_LANGDLL_DISPLAY\n" nsis "${nsis}")
  string(REPLACE "Function un.onInit\n" "Function un.onInit\n  !insertmacro MUI_UNGETLANGUAGE\n" nsis "${nsis}")
  foreach(expected "MUI_LANGUAGE \"Korean\"\n  !insertmacro MUI_RESERVEFILE_LANGDLL"
                   "onInit\n  !insertmacro MUI_LANGDLL_DISPLAY" "onInit\n  !insertmacro MUI_UNGETLANGUAGE")
    string(FIND "${nsis}" "${expected}" at)
    if(at LESS 0)
      message(FATAL_ERROR "CPack's NSIS template is not as expected: no place for ${expected}")
    endif()
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/nsis/NSIS.template.in "${nsis}")
  set(CPACK_MODULE_PATH ${CMAKE_BINARY_DIR}/nsis)
endif()

include(CPack)
