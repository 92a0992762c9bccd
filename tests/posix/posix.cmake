# What the Linux program's hosts share (src/host/posix): the command line and
# the stop signals, as unit tests.

file(GLOB posix_unit_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
# flowball-render's option parser too: the settings must read alike in both.
add_executable(flowball-posix-tests ${posix_unit_tests} ${PROJECT_SOURCE_DIR}/tools/render/render_options.cpp
               ${PROJECT_SOURCE_DIR}/tools/render/monitor_list.cpp)
target_include_directories(flowball-posix-tests PRIVATE ${PROJECT_SOURCE_DIR}/tools/render ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(flowball-posix-tests PRIVATE flowball_posix_host GTest::gtest_main)
gtest_discover_tests(flowball-posix-tests DISCOVERY_TIMEOUT 60)
