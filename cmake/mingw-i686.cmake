# Cross-compilation for 32-bit Windows with MinGW-w64 (i686).
#
# FLOWBALL_MINGW_THREADS picks the compilers' thread model:
#   posix  (the default) carries a libstdc++ with std::mutex and std::thread,
#          which GoogleTest needs; its runtime imports functions that only
#          newer Windows versions export.
#   win32  the thread model of flowball.scr: its runtime uses only what
#          Windows 98 SE exports. The posix build makes the saver in a nested
#          build folder with this model (src/host/windows/host.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

if(NOT DEFINED FLOWBALL_MINGW_THREADS)
  set(FLOWBALL_MINGW_THREADS posix)
endif()
if(NOT FLOWBALL_MINGW_THREADS MATCHES "^(posix|win32)$")
  message(FATAL_ERROR "FLOWBALL_MINGW_THREADS is posix or win32, not '${FLOWBALL_MINGW_THREADS}'")
endif()
# Try-compile projects see the choice too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FLOWBALL_MINGW_THREADS)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${FLOWBALL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${FLOWBALL_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
