# The X11 host of the Linux program (src/program): an X window or one handed
# over, drawn through GLX with the system's libGL.

find_package(X11 REQUIRED COMPONENTS Xrandr Xext)
find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)

# The X11 host's pieces that make no X call (which windows get a view per
# monitor, how long the loop sleeps, what an X error means), for the unit
# tests.
add_library(flowball_x11_host STATIC
  ${CMAKE_CURRENT_LIST_DIR}/monitor_views.cpp
  ${CMAKE_CURRENT_LIST_DIR}/loop_wait.cpp
  ${CMAKE_CURRENT_LIST_DIR}/x_error_meaning.cpp)
target_link_libraries(flowball_x11_host PUBLIC flowball_posix_host flowball_core)
# Xlib's types, not its library: the pieces here make no X call.
target_include_directories(flowball_x11_host PUBLIC ${X11_INCLUDE_DIR})

add_library(flowball_x11 STATIC
  ${CMAKE_CURRENT_LIST_DIR}/x11_host.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_loop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gl_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/randr_monitors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/monitor_follower.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_visibility.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_viewability.cpp
  ${CMAKE_CURRENT_LIST_DIR}/x_errors.cpp)
target_link_libraries(flowball_x11 PUBLIC flowball_x11_host flowball_posix_host flowball_core
                      X11::X11 X11::Xrandr X11::Xext OpenGL::GLX OpenGL::OpenGL OpenGL::GLU)
