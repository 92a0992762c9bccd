# What the Linux program asks GNOME's session bus: Mutter's idle monitor, an
# idle source for the watcher (host/posix/idle_watcher.h), through sd-bus.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SYSTEMD REQUIRED IMPORTED_TARGET libsystemd)

add_library(flowball_gnome_idle STATIC ${CMAKE_CURRENT_LIST_DIR}/mutter_idle_monitor.cpp)
target_link_libraries(flowball_gnome_idle PUBLIC flowball_idle_watcher PkgConfig::SYSTEMD)
