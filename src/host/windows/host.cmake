# The Windows program: the screen-saver host, the scene's window callbacks,
# the frame timer, the settings' registry store and dialog, and the
# resources, linked into flowball.scr over flowball_core.

find_package(Python3 REQUIRED COMPONENTS Interpreter)

if(FLOWBALL_MINGW_THREADS STREQUAL "win32")
  set(flowball_icon ${CMAKE_CURRENT_BINARY_DIR}/flowball.ico)
  add_custom_command(
    OUTPUT ${flowball_icon}
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/make_icon.py ${flowball_icon}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_icon.py
    COMMENT "Drawing the saver icon")

  # The version resource takes its numbers from the project's version.
  set(flowball_version_header ${CMAKE_CURRENT_BINARY_DIR}/flowball_version.h)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/flowball_version.h.in ${flowball_version_header} @ONLY)

  # windres finds the icon and the version header in the build folder and the
  # manifest beside the .rc.
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/flowball.rc PROPERTIES
    OBJECT_DEPENDS "${flowball_icon};${flowball_version_header};${CMAKE_CURRENT_LIST_DIR}/flowball.manifest")

  file(GLOB host_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
  # The clock is in flowball_core, the portable rules in
  # flowball_windows_rules (src/CMakeLists.txt).
  list(FILTER host_sources EXCLUDE REGEX "/(system_clock|display_watch|saver_switches|timer_pacing|virtual_screen)\\.cpp$")

  # The processor check and the runtime's wide-character calls answered in
  # the program are for 32-bit Windows only: every x86-64 processor has SSE2,
  # and every 64-bit Windows exports those calls.
  if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    list(FILTER host_sources EXCLUDE REGEX "/(processor_check|runtime_imports)\\.cpp$")
  endif()

  add_executable(flowball WIN32 ${host_sources} ${CMAKE_CURRENT_LIST_DIR}/flowball.rc)
  set_target_properties(flowball PROPERTIES OUTPUT_NAME flowball SUFFIX .scr
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  target_include_directories(flowball PRIVATE ${CMAKE_CURRENT_BINARY_DIR} ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(flowball PRIVATE flowball_windows_rules flowball_core opengl32 glu32 gdi32 user32 advapi32
                        comctl32 comdlg32)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    # The processor check is the entry point and runs before any SSE2 code: it
    # is built for the x87 unit, which every i686 has.
    set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/processor_check.cpp PROPERTIES
      COMPILE_OPTIONS "-mno-sse;-mfpmath=387")
    target_link_options(flowball PRIVATE -Wl,--entry=_flowballEntry)
  endif()
else()
  # The posix thread model's runtime would make flowball.scr import functions
  # that Windows 98 SE to XP lack: the saver is built in a nested build folder
  # with the win32 model and copied beside the test programs.
  include(ExternalProject)
  ExternalProject_Add(flowball
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/saver-win32
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
               -DFLOWBALL_MINGW_THREADS=win32
               -DFLOWBALL_SAVER_ONLY=ON
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    INSTALL_COMMAND ${CMAKE_COMMAND} -E copy_if_different
                    <BINARY_DIR>/flowball.scr ${CMAKE_BINARY_DIR}/flowball.scr
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/flowball.scr)
endif()

if(NOT FLOWBALL_SAVER_ONLY)
  include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake)
endif()
