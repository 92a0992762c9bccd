# The X11 program: the native host over flowball_core, drawing through GLX
# with the system's libGL.

find_package(X11 REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)

# The host's command line, shared with its unit tests.
add_library(flowball_x11_host STATIC
  ${CMAKE_CURRENT_LIST_DIR}/options.cpp)
target_link_libraries(flowball_x11_host PUBLIC flowball_core)

add_executable(flowball
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gl_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_visibility.cpp
  ${CMAKE_CURRENT_LIST_DIR}/x_errors.cpp)
set_target_properties(flowball PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(flowball PRIVATE flowball_x11_host flowball_core X11::X11 X11::Xext OpenGL::GLX OpenGL::OpenGL OpenGL::GLU)
