# flowball-settings: the settings window of the Linux programs, with GTK 4
# and libadwaita, above the platforms. Its preview draws the scene through
# the render tool's offscreen EGL context; it starts the saver and the idle
# watcher as programs, and links none of the hosts.

find_package(PkgConfig REQUIRED)
pkg_check_modules(ADWAITA REQUIRED IMPORTED_TARGET libadwaita-1 gtk4)

pkg_check_modules(GLIB REQUIRED IMPORTED_TARGET glib-2.0)

# The idle start's files and processes, which the unit tests take as they are.
add_library(flowball_idle_start STATIC
  ${CMAKE_CURRENT_LIST_DIR}/idle_start.cpp
  ${CMAKE_CURRENT_LIST_DIR}/detached_start.cpp)
target_include_directories(flowball_idle_start PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(flowball_idle_start PUBLIC flowball_core PkgConfig::GLIB)

add_executable(flowball-settings
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setting_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preview_pane.cpp
  ${CMAKE_CURRENT_LIST_DIR}/preview_renderer.cpp)
# Beside flowball, which it finds there first.
set_target_properties(flowball-settings PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(flowball-settings PRIVATE flowball_idle_start flowball_offscreen flowball_idle_watcher
                      flowball_core PkgConfig::ADWAITA)
