# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads).
#
# The libraries built for Windows (Qt, libjpeg-turbo, GoogleTest) live in the
# cache folder made by tools/windows/build.sh. Every search for headers,
# libraries and packages is confined to that folder and to MinGW's own root:
# left free, CMake finds the host's Linux headers and Qt's Gui module fails.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

if(DEFINED ENV{MARCHFELL_WIN_CACHE} AND NOT "$ENV{MARCHFELL_WIN_CACHE}" STREQUAL "")
  set(MARCHFELL_WIN_CACHE "$ENV{MARCHFELL_WIN_CACHE}")
else()
  set(MARCHFELL_WIN_CACHE "$ENV{HOME}/.cache/marchfell-win")
endif()
set(MARCHFELL_WIN_PREFIX "${MARCHFELL_WIN_CACHE}/prefix")

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${_mingw} "${MARCHFELL_WIN_PREFIX}")
list(APPEND CMAKE_PREFIX_PATH "${MARCHFELL_WIN_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs and test discovery run the .exe files through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
