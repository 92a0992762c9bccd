# Cross-compilation for 32-bit Windows (Windows 98 SE and later) with
# MinGW-w64, i686. See mingw-common.cmake for the thread models.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(FLOWBALL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
