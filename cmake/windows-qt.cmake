# The windows preset's Qt comes as an archive (ORVANE_QT_MINGW; tools/windows/ makes it): the first
# configure unpacks it into the build folder (qt6-mingw/), where Qt and FreeType are then found.
set(ORVANE_QT_ARCHIVE "" CACHE FILEPATH "Qt archive to unpack into the build folder first")
if(CMAKE_CROSSCOMPILING AND WIN32)
  set(qt_dir ${CMAKE_BINARY_DIR}/qt6-mingw)
  if(NOT EXISTS ${qt_dir}/lib/cmake/Qt6)
    if(NOT ORVANE_QT_ARCHIVE)
      message(FATAL_ERROR "No Qt for Windows: set ORVANE_QT_MINGW to qt6.4.2-mingw64.tar.xz "
                          "(tools/windows/build-qt-mingw.sh makes it)")
    endif()
    if(NOT EXISTS ${ORVANE_QT_ARCHIVE})
      message(FATAL_ERROR "${ORVANE_QT_ARCHIVE}: no such file (the Qt for the windows preset)")
    endif()
    message(STATUS "Unpacking ${ORVANE_QT_ARCHIVE}")
    file(ARCHIVE_EXTRACT INPUT ${ORVANE_QT_ARCHIVE} DESTINATION ${CMAKE_BINARY_DIR})
  endif()
  list(PREPEND CMAKE_PREFIX_PATH ${qt_dir})
  # The toolchain file looks for libraries only under its sysroot; the unpacked tree holds
  # FreeType too (lib/libfreetype.a, include/freetype2), so it is searched as a root as well.
  list(APPEND CMAKE_FIND_ROOT_PATH ${qt_dir})
endif()
