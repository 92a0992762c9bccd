# Cross-compilation for 64-bit Windows with MinGW-w64, x86_64. See
# mingw-common.cmake for the thread models.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(FLOWBALL_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
