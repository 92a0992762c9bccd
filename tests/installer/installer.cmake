# Tests of the Windows release, driven by run_installer_tests.py: the installer
# and uninstaller under Wine in a prefix of their own, and the byte-identical
# rebuild of make dist's files. Included by packaging/windows/packaging.cmake.

find_program(MAKENSIS_EXECUTABLE makensis)
if(NOT MAKENSIS_EXECUTABLE)
  message(STATUS "makensis missing: no installer tests")
  return()
endif()

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(installer_tests ${CMAKE_CURRENT_LIST_DIR}/run_installer_tests.py)

add_test(NAME installer.release
         COMMAND ${Python3_EXECUTABLE} ${installer_tests}
                 --build-dir ${CMAKE_BINARY_DIR} --group release)
set_tests_properties(installer.release PROPERTIES LABELS installer TIMEOUT 300)

if(NOT FLOWBALL_WINDOWS_RUNS)
  flowball_add_skipped_test(installer.wine)
elseif(XVFB_EXECUTABLE AND XDOTOOL_EXECUTABLE)
  add_test(NAME installer.wine
           COMMAND ${Python3_EXECUTABLE} ${installer_tests}
                   --build-dir ${CMAKE_BINARY_DIR} --group wine)
  # Its Xvfb and prefix are its own; the lock keeps two Wine-heavy runs from
  # sharing the two cores with the end-to-end groups, whose timings are tight.
  set_tests_properties(installer.wine PROPERTIES
    LABELS installer RESOURCE_LOCK flowball-e2e-wine TIMEOUT 900)
endif()
