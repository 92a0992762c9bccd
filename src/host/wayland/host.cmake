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
