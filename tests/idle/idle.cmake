# The idle watcher's tests. Its portable pieces as unit tests: the idle
# time, the saver's command line, and the watcher's rounds with a source and
# a saver of the test's own.

file(GLOB idle_unit_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
add_executable(flowball-idle-tests ${idle_unit_tests})
target_link_libraries(flowball-idle-tests PRIVATE flowball_idle_watcher GTest::gtest_main)
gtest_discover_tests(flowball-idle-tests DISCOVERY_TIMEOUT 60)
