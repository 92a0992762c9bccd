# What the Linux program's hosts share on POSIX systems, with no platform in
# it: the command line, the ending by a signal, and the idle watcher (the
# rounds of idle and saver, the saver's command line) that a platform's idle
# source drives. Portable, so that the unit tests take it as it is.
add_library(flowball_posix_host STATIC
  ${CMAKE_CURRENT_LIST_DIR}/options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stop_signals.cpp)
target_link_libraries(flowball_posix_host PUBLIC flowball_core)

add_library(flowball_idle_watcher STATIC
  ${CMAKE_CURRENT_LIST_DIR}/idle_watcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/saver_command.cpp)
target_link_libraries(flowball_idle_watcher PUBLIC flowball_posix_host flowball_core)
