# The Wayland host's tests: its portable pieces as unit tests, and the
# program end to end in headless sway (and Mutter) as an ordinary user
# (run_wayland_test.py). The end-to-end group: ctest -L wayland.

add_executable(flowball-wayland-tests ${CMAKE_CURRENT_LIST_DIR}/output_layout_test.cpp
               ${CMAKE_CURRENT_LIST_DIR}/pointer_anchor_test.cpp)
target_link_libraries(flowball-wayland-tests PRIVATE flowball_wayland_rules GTest::gtest_main)
gtest_discover_tests(flowball-wayland-tests DISCOVERY_TIMEOUT 60)

# headless sway has no input devices: a client of the wlroots virtual-pointer
# protocol moves and clicks the pointer. Its description comes from the
# system, as the layer shell's does.
set(virtual_pointer_xml ${FLOWBALL_WLR_PROTOCOLS_DIR}/wlr-virtual-pointer-unstable-v1.xml)
if(FLOWBALL_SANITIZE)
  # The compositors' children run the program as another user, outside the
  # sanitizers' preload set-up: the group runs in the plain build.
elseif(FLOWBALL_WLR_PROTOCOLS_DIR AND EXISTS ${virtual_pointer_xml})
  flowball_wayland_protocol(flowball_test_wayland_protocols wlr-virtual-pointer-unstable-v1 ${virtual_pointer_xml})
  add_executable(virtual-pointer ${CMAKE_CURRENT_LIST_DIR}/virtual_pointer.c)
  target_link_libraries(virtual-pointer PRIVATE flowball_test_wayland_protocols)
  # A user's own full-screen window: make perf's minimal client.
  find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)
  add_executable(minimal-wayland-egl ${PROJECT_SOURCE_DIR}/scripts/perf/minimal_wayland_egl.c)
  target_link_libraries(minimal-wayland-egl PRIVATE flowball_wayland_protocols OpenGL::EGL OpenGL::OpenGL)

  # EGL that fails on demand, preloaded into the program.
  add_library(failing-egl MODULE ${CMAKE_CURRENT_LIST_DIR}/failing_egl.c)
  target_link_libraries(failing-egl PRIVATE ${CMAKE_DL_LIBS})
  set_target_properties(failing-egl PROPERTIES PREFIX "")

  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(wayland_test ${CMAKE_CURRENT_LIST_DIR}/run_wayland_test.py $<TARGET_FILE:flowball>
                   $<TARGET_FILE:virtual-pointer> $<TARGET_FILE:minimal-wayland-egl> $<TARGET_FILE:failing-egl>
                   ${CMAKE_CURRENT_BINARY_DIR}/wayland-shots)
  add_test(NAME flowball-wayland COMMAND Python3::Interpreter ${wayland_test})
  # Mutter, where it runs: skipped (77) where it cannot.
  add_test(NAME flowball-wayland-mutter COMMAND Python3::Interpreter ${wayland_test} mutter)
  set_tests_properties(flowball-wayland flowball-wayland-mutter PROPERTIES
    TIMEOUT 900 LABELS wayland SKIP_RETURN_CODE 77 RESOURCE_LOCK flowball-program)
else()
  message(STATUS "Wayland tests: no wlr-virtual-pointer-unstable-v1.xml (Debian: "
                 "librust-wayland-protocols-dev); the end-to-end group is left out")
endif()
