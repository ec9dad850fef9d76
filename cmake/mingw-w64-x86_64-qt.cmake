# Cross build for 64-bit Windows against the Qt for Windows of
# tools/windows-qt. Linked dynamically: the Qt DLLs bring the mingw runtime
# DLLs, and the programs share that one C++ runtime with them. Programs of
# the build (the tests) run under wine (tests/wine/run_under_wine.sh).
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "")

# The environment carries the prefix into the compiler checks, which read
# this file again.
if(NOT DEFINED ENV{LUMERA_WINDOWS_QT})
  execute_process(
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/../tools/windows-qt --prefix
    OUTPUT_VARIABLE lumera_windows_qt OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE lumera_windows_qt_missing)
  if(lumera_windows_qt_missing)
    message(FATAL_ERROR "No Qt for Windows yet: run tools/windows-qt first")
  endif()
  set(ENV{LUMERA_WINDOWS_QT} ${lumera_windows_qt})
endif()
set(LUMERA_WINDOWS_QT $ENV{LUMERA_WINDOWS_QT})

list(APPEND CMAKE_FIND_ROOT_PATH ${LUMERA_WINDOWS_QT})
# moc, rcc and uic are the host's, of the same Qt version.
set(QT_HOST_PATH /usr)
execute_process(COMMAND dpkg-architecture -qDEB_HOST_MULTIARCH
                OUTPUT_VARIABLE lumera_multiarch OUTPUT_STRIP_TRAILING_WHITESPACE)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${lumera_multiarch}/cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/run_under_wine.sh
    ${LUMERA_WINDOWS_QT}/bin)
