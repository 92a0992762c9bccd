# The idle watcher's tests. Its portable pieces as unit tests: the idle
# time, the saver's command line, and the watcher's rounds with a source and
# a saver of the test's own.

file(GLOB idle_unit_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
add_executable(flowball-idle-tests ${idle_unit_tests})
target_link_libraries(flowball-idle-tests PRIVATE flowball_idle_watcher GTest::gtest_main)
target_include_directories(flowball-idle-tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
gtest_discover_tests(flowball-idle-tests DISCOVERY_TIMEOUT 60)

# The watcher end to end (run_idle_test.py) in headless sway, Mutter and
# KWin, as the Wayland group does it: ctest -L wayland. A test application
# holds an idle inhibitor on a window of its own; its protocol comes from
# the system, as the program's do.
if(NOT FLOWBALL_SANITIZE)
  flowball_wayland_protocol(flowball_idle_test_protocols idle-inhibit-unstable-v1
    ${FLOWBALL_WAYLAND_PROTOCOLS_DIR}/unstable/idle-inhibit/idle-inhibit-unstable-v1.xml)
  add_executable(idle-inhibitor ${CMAKE_CURRENT_LIST_DIR}/idle_inhibitor.c)
  target_link_libraries(idle-inhibitor PRIVATE flowball_idle_test_protocols flowball_wayland_protocols)

  # And on GNOME, where the session manager holds the inhibitors: a stand-in
  # for it on the test's session bus.
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SESSION_BUS REQUIRED IMPORTED_TARGET libsystemd)
  add_executable(session-inhibitor ${CMAKE_CURRENT_LIST_DIR}/session_inhibitor.c)
  target_link_libraries(session-inhibitor PRIVATE PkgConfig::SESSION_BUS)

  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(idle_test ${CMAKE_CURRENT_LIST_DIR}/run_idle_test.py $<TARGET_FILE:flowball> $<TARGET_FILE:idle-inhibitor>
                $<TARGET_FILE:session-inhibitor> ${CMAKE_CURRENT_BINARY_DIR}/idle-shots)
  add_test(NAME flowball-idle-sway COMMAND Python3::Interpreter ${idle_test} sway)
  # Skipped (77) where the compositor cannot run.
  add_test(NAME flowball-idle-mutter COMMAND Python3::Interpreter ${idle_test} mutter)
  add_test(NAME flowball-idle-kwin COMMAND Python3::Interpreter ${idle_test} kwin)
  set_tests_properties(flowball-idle-sway flowball-idle-mutter flowball-idle-kwin PROPERTIES
    TIMEOUT 900 LABELS wayland SKIP_RETURN_CODE 77 RESOURCE_LOCK flowball-program)
endif()
