# The Windows build: resources of the programs (icon and version information), the DLLs and
# plugins they need beside them, and the zip and installer made by CPack. Included before the
# programs are defined, after Qt is found.

enable_language(RC)

# zlib as a DLL: the static FreeType carries zlib's inflate code of its own, which a static zlib
# would define a second time. Linked through the import library, only the functions the font
# reader calls come from zlib1.dll.
set(ZLIB_USE_STATIC_LIBS OFF)

# Documents go to doc\ of the installation rather than share\doc\orvane\.
set(CMAKE_INSTALL_DOCDIR doc)
include(GNUInstallDirs)

# The programs' icon, made from the window's PNG icons.
find_program(ORVANE_CONVERT convert)
if(NOT ORVANE_CONVERT)
  message(FATAL_ERROR "convert (ImageMagick) not found: it makes orvane.ico from the PNG icons")
endif()
set(ORVANE_ICO ${CMAKE_BINARY_DIR}/orvane.ico)
set(icon_pngs ${PROJECT_SOURCE_DIR}/src/app/icons/orvane-16.png
              ${PROJECT_SOURCE_DIR}/src/app/icons/orvane-32.png)
add_custom_command(OUTPUT ${ORVANE_ICO} COMMAND ${ORVANE_CONVERT} ${icon_pngs} ${ORVANE_ICO}
                   DEPENDS ${icon_pngs} VERBATIM)
add_custom_target(orvane_icon DEPENDS ${ORVANE_ICO})

# Gives a program the icon and version information; `description` is what Explorer shows.
function(orvane_windows_resources target description)
  set(ORVANE_FILE_DESCRIPTION "${description}")
  set(ORVANE_FILE_NAME "${target}.exe")
  set(ORVANE_ICO_PATH "${ORVANE_ICO}")
  string(REPLACE "." "," ORVANE_VERSION_COMMAS "${PROJECT_VERSION}.0")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/orvane.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ORVANE_ICO})
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} orvane_icon)
endfunction()

# What every program needs beside it at run time: Qt's DLLs, the platform, image format and
# style plugins in their folders, GCC's runtime and zlib. Stripped into the build's bin\ (where the
# programs and the tests run under Wine) and installed from there beside the programs.
set(gcc_runtime_dirs /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
find_package(Qt6 REQUIRED COMPONENTS Network)
set(runtime) # entries "folder in bin\|file"
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll zlib1.dll)
  find_file(ORVANE_DLL_${dll} ${dll} PATHS ${gcc_runtime_dirs} NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH)
  if(NOT ORVANE_DLL_${dll})
    message(FATAL_ERROR "${dll} not found in ${gcc_runtime_dirs}")
  endif()
  list(APPEND runtime ".|${ORVANE_DLL_${dll}}")
endforeach()
# Qt's DLLs and plugins, as "folder in bin\|file" entries of `out`.
function(orvane_qt_runtime out)
  set(entries)
  foreach(target ${ARGN})
    get_filename_component(folder ${target} DIRECTORY)
    get_filename_component(target ${target} NAME)
    get_target_property(file Qt6::${target} LOCATION)
    list(APPEND entries "${folder}|${file}")
  endforeach()
  set(${out} ${entries} PARENT_SCOPE)
endfunction()
orvane_qt_runtime(qt_runtime Core Gui Widgets SerialPort Network
                  platforms/QWindowsIntegrationPlugin imageformats/QICOPlugin
                  imageformats/QGifPlugin imageformats/QJpegPlugin styles/QWindowsVistaStylePlugin)
list(APPEND runtime ${qt_runtime})
# Only for the tests: Qt Test and headless platforms.
set(test_runtime)
if(ORVANE_BUILD_TESTS)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  orvane_qt_runtime(test_runtime Test platforms/QOffscreenIntegrationPlugin
                    platforms/QMinimalIntegrationPlugin)
endif()

set(stripped)
foreach(entry IN LISTS runtime test_runtime)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 folder)
  list(GET entry 1 file)
  get_filename_component(name ${file} NAME)
  set(out ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${folder}/${name})
  add_custom_command(OUTPUT ${out}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${folder}
                     COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${out} ${file}
                     DEPENDS ${file} VERBATIM)
  list(APPEND stripped ${out})
  if("${folder}|${file}" IN_LIST runtime)
    install(FILES ${out} DESTINATION bin/${folder})
  endif()
endforeach()

# Qt's own translations (the file dialog, message box buttons, QCommandLineParser's lines) for
# each language the programs have, from the build machine's Qt (Debian's qt6-translations-l10n):
# in translations\ beside the programs, where they look for them.
file(GLOB program_translations RELATIVE ${PROJECT_SOURCE_DIR}/translations
     ${PROJECT_SOURCE_DIR}/translations/orvane_*.ts)
foreach(ts IN LISTS program_translations)
  string(REGEX REPLACE "^orvane_(.*)\\.ts$" "qtbase_\\1.qm" qm "${ts}")
  find_file(ORVANE_QT_${qm} ${qm} PATHS ${QT_HOST_PATH}/share/qt6/translations NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH)
  if(NOT ORVANE_QT_${qm})
    message(FATAL_ERROR "${qm} not found in ${QT_HOST_PATH}/share/qt6/translations "
                        "(Debian's qt6-translations-l10n)")
  endif()
  set(out ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/translations/${qm})
  add_custom_command(OUTPUT ${out}
                     COMMAND ${CMAKE_COMMAND} -E copy ${ORVANE_QT_${qm}} ${out}
                     DEPENDS ${ORVANE_QT_${qm}} VERBATIM)
  list(APPEND stripped ${out})
  install(FILES ${out} DESTINATION bin/translations)
endforeach()
add_custom_target(orvane_windows_runtime ALL DEPENDS ${stripped})

# The licences of what the packages carry besides the program: Qt (LGPL v3, which builds on the
# GPL v3's text), FreeType's credit and the bundled fonts.
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/third-party.txt.in
               ${CMAKE_BINARY_DIR}/third-party.txt @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/third-party.txt DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/src/core/fonts/README DESTINATION ${CMAKE_INSTALL_DOCDIR}
        RENAME fonts.txt)
install(FILES ${PROJECT_SOURCE_DIR}/src/core/fonts/OFL-galmuri7.txt DESTINATION ${CMAKE_INSTALL_DOCDIR})
foreach(licence LGPL-3 GPL-3)
  if(NOT EXISTS /usr/share/common-licenses/${licence})
    message(FATAL_ERROR "/usr/share/common-licenses/${licence}: missing (Debian's base-files)")
  endif()
  install(FILES /usr/share/common-licenses/${licence} DESTINATION ${CMAKE_INSTALL_DOCDIR}
          RENAME ${licence}.txt)
endforeach()
