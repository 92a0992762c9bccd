# The Linux program's own rules (src/program): which display it draws on.

file(GLOB program_unit_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
add_executable(flowball-program-tests ${program_unit_tests})
target_link_libraries(flowball-program-tests PRIVATE flowball_program_rules GTest::gtest_main)
gtest_discover_tests(flowball-program-tests DISCOVERY_TIMEOUT 60)
