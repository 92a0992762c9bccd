# The X11 program's tests: its portable pieces as unit tests over the
# recording GL, and the program itself on virtual displays (Xvfb with GLX,
# Mesa's software renderer).

file(GLOB x11_unit_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
add_executable(flowball-x11-tests ${x11_unit_tests})
target_link_libraries(flowball-x11-tests PRIVATE flowball_x11_host glrecorder GTest::gtest_main)
gtest_discover_tests(flowball-x11-tests DISCOVERY_TIMEOUT 60)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME flowball-x11-e2e
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/run_x11_e2e.py $<TARGET_FILE:flowball>)
set_tests_properties(flowball-x11-e2e PROPERTIES TIMEOUT 900
  ENVIRONMENT "LIBGL_ALWAYS_SOFTWARE=1;LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
