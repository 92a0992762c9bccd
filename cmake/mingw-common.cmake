# What the two MinGW-w64 toolchain files share; each sets
# FLOWBALL_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
#
# FLOWBALL_MINGW_THREADS picks the compilers' thread model:
#   posix  (the default) carries a libstdc++ with std::mutex and std::thread,
#          which GoogleTest needs; its runtime imports functions that only
#          newer Windows versions export.
#   win32  the thread model of flowball.scr: its runtime imports only what
#          the oldest supported Windows exports. The posix build makes the
#          saver in a nested build folder with this model
#          (src/host/windows/host.cmake).
set(CMAKE_SYSTEM_NAME Windows)

if(NOT DEFINED FLOWBALL_MINGW_THREADS)
  set(FLOWBALL_MINGW_THREADS posix)
endif()
if(NOT FLOWBALL_MINGW_THREADS MATCHES "^(posix|win32)$")
  message(FATAL_ERROR "FLOWBALL_MINGW_THREADS is posix or win32, not '${FLOWBALL_MINGW_THREADS}'")
endif()
# Try-compile projects see the choice too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FLOWBALL_MINGW_THREADS)

set(CMAKE_C_COMPILER ${FLOWBALL_MINGW_TRIPLE}-gcc-${FLOWBALL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${FLOWBALL_MINGW_TRIPLE}-g++-${FLOWBALL_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${FLOWBALL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FLOWBALL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)

# The Wine prefix that runs this build's programs (scripts/wine-session.sh,
# the end-to-end and installer tests read it from the cache): a 64-bit
# program needs a 64-bit prefix; the 32-bit build keeps a 32-bit one.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(FLOWBALL_WINEARCH win64 CACHE INTERNAL "Wine prefix architecture for this build's programs")
else()
  set(FLOWBALL_WINEARCH win32 CACHE INTERNAL "Wine prefix architecture for this build's programs")
endif()
