# flowball-settings: the settings window of the Linux programs, with GTK 4
# and libadwaita, above the platforms. Its preview draws the scene through
# the render tool's offscreen EGL context; it starts the saver and the idle
# watcher as programs, and links none of the hosts.

find_package(PkgConfig REQUIRED)
pkg_check_modules(ADWAITA REQUIRED IMPORTED_TARGET libadwaita-1 gtk4)

add_executable(flowball-settings
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setting_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preview_pane.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preview_renderer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/idle_start.cpp
  ${CMAKE_CURRENT_LIST_DIR}/detached_start.cpp)
# Beside flowball, which it finds there first.
set_target_properties(flowball-settings PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(flowball-settings PRIVATE flowball_offscreen flowball_idle_watcher flowball_core
                      PkgConfig::ADWAITA)
