# The settings window end to end: on headless sway, as an ordinary user, in a
# session bus of its own, driven through the accessibility bus. Its own
# group: ctest -L settings-window.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
if(NOT FLOWBALL_SANITIZE)
  add_test(NAME flowball-settings-window
           COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/run_settings_window_test.py
                   $<TARGET_FILE:flowball> $<TARGET_FILE:flowball-settings>
                   ${CMAKE_CURRENT_BINARY_DIR}/settings-window-shots)
  set_tests_properties(flowball-settings-window PROPERTIES TIMEOUT 1800 LABELS settings-window
                       RESOURCE_LOCK flowball-program)
endif()

# The idle start's rules: paths, the entry, the desktops' lines and which
# processes are watchers.
add_executable(flowball-settings-window-tests ${CMAKE_CURRENT_LIST_DIR}/idle_start_test.cpp)
target_link_libraries(flowball-settings-window-tests PRIVATE flowball_idle_start GTest::gtest_main)
gtest_discover_tests(flowball-settings-window-tests DISCOVERY_TIMEOUT 60)
