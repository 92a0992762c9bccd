# The Wayland host: one full-screen surface per output, drawn with desktop
# OpenGL through EGL, built into the one flowball program beside the X11 host.
#
# Its protocols come from the system at build time (cmake/wayland-protocols.cmake):
# xdg-shell and xdg-output from wayland-protocols, the layer shell from the
# wlroots descriptions where they are installed. Without them the host covers
# the outputs with full-screen xdg-shell windows only.

include(${PROJECT_SOURCE_DIR}/cmake/wayland-protocols.cmake)

flowball_wayland_protocol(flowball_wayland_protocols xdg-shell
  ${FLOWBALL_WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml)
flowball_wayland_protocol(flowball_wayland_protocols xdg-output-unstable-v1
  ${FLOWBALL_WAYLAND_PROTOCOLS_DIR}/unstable/xdg-output/xdg-output-unstable-v1.xml)
set(layer_shell_xml ${FLOWBALL_WLR_PROTOCOLS_DIR}/wlr-layer-shell-unstable-v1.xml)
if(FLOWBALL_WLR_PROTOCOLS_DIR AND EXISTS ${layer_shell_xml})
  flowball_wayland_protocol(flowball_wayland_protocols wlr-layer-shell-unstable-v1 ${layer_shell_xml})
  target_compile_definitions(flowball_wayland_protocols PUBLIC FLOWBALL_LAYER_SHELL=1)
  message(STATUS "Wayland host: layer shell from ${layer_shell_xml}")
else()
  message(STATUS "Wayland host: no wlr-layer-shell-unstable-v1.xml (Debian: librust-wayland-protocols-dev); "
                 "built without layer shell, outputs are covered by full-screen xdg-shell windows only")
endif()

# The host's portable pieces (where each output's surface lies in the scene's
# window, the pointer's dismissal), for the unit tests.
add_library(flowball_wayland_rules STATIC
  ${CMAKE_CURRENT_LIST_DIR}/output_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pointer_anchor.cpp)
target_link_libraries(flowball_wayland_rules PUBLIC flowball_core)

find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)
add_library(flowball_wayland STATIC
  ${CMAKE_CURRENT_LIST_DIR}/wayland_host.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wayland_connection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/compositor_address.cpp
  ${CMAKE_CURRENT_LIST_DIR}/event_read.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wayland_output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/output_surface.cpp
  ${CMAKE_CURRENT_LIST_DIR}/seat_input.cpp
  ${CMAKE_CURRENT_LIST_DIR}/egl_context.cpp)
target_link_libraries(flowball_wayland PUBLIC flowball_wayland_rules flowball_posix_host flowball_core
                      flowball_wayland_protocols PkgConfig::WAYLAND OpenGL::OpenGL)

# The compositor's idle protocols, an idle source for the watcher
# (host/posix/idle_watcher.h): ext-idle-notify-v1 from wayland-protocols
# (staging), KDE's idle protocol from plasma-wayland-protocols, both from the
# system at build time.
find_package(PlasmaWaylandProtocols CONFIG)
if(NOT PlasmaWaylandProtocols_FOUND)
  message(FATAL_ERROR "KDE's idle protocol description not found (Debian: plasma-wayland-protocols)")
endif()
flowball_wayland_protocol(flowball_idle_protocols ext-idle-notify-v1
  ${FLOWBALL_WAYLAND_PROTOCOLS_DIR}/staging/ext-idle-notify/ext-idle-notify-v1.xml)
flowball_wayland_protocol(flowball_idle_protocols kde-idle ${PLASMA_WAYLAND_PROTOCOLS_DIR}/idle.xml)

add_library(flowball_wayland_idle STATIC ${CMAKE_CURRENT_LIST_DIR}/idle_notification.cpp)
target_link_libraries(flowball_wayland_idle PUBLIC flowball_idle_watcher flowball_wayland flowball_idle_protocols
                      PkgConfig::WAYLAND)
