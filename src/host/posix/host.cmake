# What the flowball program's hosts share on POSIX systems: the command line
# and the settings file under it, the choice of display and the ending by a
# signal. Portable, so that the unit tests take it as it is.
add_library(flowball_posix_host STATIC
  ${CMAKE_CURRENT_LIST_DIR}/options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display_choice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stop_signals.cpp)
target_link_libraries(flowball_posix_host PUBLIC flowball_core)
