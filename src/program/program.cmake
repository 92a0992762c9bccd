# The flowball program for Linux desktops: it reads the command line, chooses
# Wayland or X11 (display_choice) and runs that platform's host, or joins a
# platform's idle source to the idle watcher (idle_mode). It sits above the
# platform folders of src/host, which never include it.

# The display choice is a rule with no platform in it, for the unit tests.
add_library(flowball_program_rules STATIC ${CMAKE_CURRENT_LIST_DIR}/display_choice.cpp)
target_link_libraries(flowball_program_rules PUBLIC flowball_posix_host)

add_executable(flowball
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/idle_mode.cpp)
set_target_properties(flowball PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(flowball PRIVATE flowball_program_rules flowball_x11 flowball_wayland flowball_wayland_idle
                      flowball_gnome_idle flowball_idle_watcher flowball_posix_host flowball_core)
