# The idle watcher mode of the flowball program (--idle-after): the
# portable watcher (the idle time, the child process, the saver's command
# line), the compositor's idle protocols through Wayland and GNOME's idle
# monitor through sd-bus. Included after the hosts, whose program it joins.
#
# The protocol descriptions come from the system at build time:
# ext-idle-notify-v1 from wayland-protocols (staging), KDE's idle protocol
# from plasma-wayland-protocols.

include(${PROJECT_SOURCE_DIR}/cmake/wayland-protocols.cmake)
find_package(PlasmaWaylandProtocols CONFIG)
if(NOT PlasmaWaylandProtocols_FOUND)
  message(FATAL_ERROR "KDE's idle protocol description not found (Debian: plasma-wayland-protocols)")
endif()
pkg_check_modules(SYSTEMD REQUIRED IMPORTED_TARGET libsystemd)

flowball_wayland_protocol(flowball_idle_protocols ext-idle-notify-v1
  ${FLOWBALL_WAYLAND_PROTOCOLS_DIR}/staging/ext-idle-notify/ext-idle-notify-v1.xml)
flowball_wayland_protocol(flowball_idle_protocols kde-idle ${PLASMA_WAYLAND_PROTOCOLS_DIR}/idle.xml)

# What the unit tests drive with a source of their own.
add_library(flowball_idle_watcher STATIC
  ${CMAKE_CURRENT_LIST_DIR}/idle_watcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/saver_command.cpp)
target_link_libraries(flowball_idle_watcher PUBLIC flowball_posix_host flowball_core)

target_sources(flowball PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/idle_mode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../wayland/idle_notification.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../gnome/mutter_idle_monitor.cpp)
target_link_libraries(flowball PRIVATE flowball_idle_watcher flowball_idle_protocols PkgConfig::SYSTEMD)
