# End-to-end tests of flowball.scr under Wine on virtual X displays, driven by
# run_e2e.py with real X input. Included by the Windows build of the host.
#
# The helpers: preview-host.exe (also for people: the settings dialog's
# preview, beside flowball.scr), and in e2e/ the probe that looks at windows
# from outside, the test password verifier PASSWORD.CPL and the test password
# changer MPR.DLL.

set(e2e_dir ${CMAKE_BINARY_DIR}/e2e)

add_executable(preview-host WIN32 ${CMAKE_CURRENT_LIST_DIR}/preview_host.cpp)
set_target_properties(preview-host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

add_executable(saver-probe ${CMAKE_CURRENT_LIST_DIR}/saver_probe.cpp)
set_target_properties(saver-probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${e2e_dir})

# The saver finds them by their undecorated export names.
add_library(test-password-cpl SHARED ${CMAKE_CURRENT_LIST_DIR}/test_password_cpl.cpp)
set_target_properties(test-password-cpl PROPERTIES
  OUTPUT_NAME PASSWORD PREFIX "" SUFFIX .CPL RUNTIME_OUTPUT_DIRECTORY ${e2e_dir})
target_link_options(test-password-cpl PRIVATE -Wl,--kill-at)

add_library(test-mpr-dll SHARED ${CMAKE_CURRENT_LIST_DIR}/test_mpr_dll.cpp)
set_target_properties(test-mpr-dll PROPERTIES
  OUTPUT_NAME mpr PREFIX "" SUFFIX .dll RUNTIME_OUTPUT_DIRECTORY ${e2e_dir})
target_link_options(test-mpr-dll PRIVATE -Wl,--kill-at)

add_custom_target(e2e-helpers ALL DEPENDS flowball preview-host saver-probe
                  test-password-cpl test-mpr-dll)

find_program(XVFB_EXECUTABLE Xvfb)
find_program(XDOTOOL_EXECUTABLE xdotool)
if(XVFB_EXECUTABLE AND XDOTOOL_EXECUTABLE)
  execute_process(
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/run_e2e.py --list-groups
    OUTPUT_VARIABLE e2e_groups OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(REPLACE "\n" ";" e2e_groups "${e2e_groups}")
  foreach(group IN LISTS e2e_groups)
    if(NOT FLOWBALL_WINDOWS_RUNS)
      flowball_add_skipped_test(e2e.${group})
      continue()
    endif()
    add_test(NAME e2e.${group}
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/run_e2e.py
                     --build-dir ${CMAKE_BINARY_DIR} --group ${group})
    # One wine prefix serves every group; two savers at once in it would find
    # each other. A group that cannot run here (the monitors group needs root
    # for Xorg) says so with 77.
    set_tests_properties(e2e.${group} PROPERTIES
      LABELS e2e RESOURCE_LOCK flowball-e2e-wine TIMEOUT 300 SKIP_RETURN_CODE 77)
  endforeach()
else()
  message(STATUS "Xvfb or xdotool missing: no end-to-end tests")
endif()
