# The Windows program: the screen-saver host, the scene's window callbacks,
# the settings' registry store and dialog, and the resources, linked into
# flowball.scr over flowball_core.

find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(flowball_icon ${CMAKE_CURRENT_BINARY_DIR}/flowball.ico)
add_custom_command(
  OUTPUT ${flowball_icon}
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/make_icon.py ${flowball_icon}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_icon.py
  COMMENT "Drawing the saver icon")

# windres finds the icon in the build folder and the manifest beside the .rc.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/flowball.rc PROPERTIES
  OBJECT_DEPENDS "${flowball_icon};${CMAKE_CURRENT_LIST_DIR}/flowball.manifest")

file(GLOB host_sources CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../../driver/windows/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../../settings/windows/*.cpp)

add_executable(flowball WIN32 ${host_sources} ${CMAKE_CURRENT_LIST_DIR}/flowball.rc)
set_target_properties(flowball PROPERTIES OUTPUT_NAME flowball SUFFIX .scr
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_include_directories(flowball PRIVATE ${CMAKE_CURRENT_BINARY_DIR} ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(flowball PRIVATE flowball_core opengl32 glu32 gdi32 user32 advapi32
                      comctl32 comdlg32)

include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake)
