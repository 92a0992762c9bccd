# The X11 host's tests: its portable pieces as unit tests over the recording
# GL, and the program on virtual displays (Xvfb with GLX, Mesa's software
# renderer), under the X11 saver daemon and as the Debian package.

file(GLOB x11_unit_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
add_executable(flowball-x11-tests ${x11_unit_tests})
target_include_directories(flowball-x11-tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(flowball-x11-tests PRIVATE flowball_x11_host flowball_settings_pages glrecorder
                      GTest::gtest_main)
gtest_discover_tests(flowball-x11-tests DISCOVERY_TIMEOUT 60)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(x11_e2e_environment LIBGL_ALWAYS_SOFTWARE=1)
if(FLOWBALL_SANITIZE)
  # Under the sanitizers the program runs with the GL driver's libraries kept
  # loaded to the end (see keep_libraries_loaded.c), so the leak check at its
  # exit needs no suppressions. The sanitizer runtime must come first in the
  # preload list.
  add_library(keep-libraries-loaded SHARED ${CMAKE_CURRENT_LIST_DIR}/keep_libraries_loaded.c)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                  OUTPUT_VARIABLE asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
  list(APPEND x11_e2e_environment
       "FLOWBALL_TEST_PRELOAD=${asan_runtime} $<TARGET_FILE:keep-libraries-loaded>")
endif()
# Tells the end-to-end test when the program releases its context and closes
# its display (preloaded into the cases that end it by a signal).
add_library(context-release-probe SHARED ${CMAKE_CURRENT_LIST_DIR}/context_release_probe.c)
target_link_libraries(context-release-probe PRIVATE ${CMAKE_DL_LIBS})
add_dependencies(flowball-x11-tests context-release-probe)
list(APPEND x11_e2e_environment "FLOWBALL_RELEASE_PROBE=$<TARGET_FILE:context-release-probe>")
# Counts the frames Mesa puts on the window, for the cases that count them.
add_library(count-gl-image-puts SHARED ${PROJECT_SOURCE_DIR}/scripts/perf/count_gl_image_puts.c)
target_link_libraries(count-gl-image-puts PRIVATE ${CMAKE_DL_LIBS})
list(APPEND x11_e2e_environment "FLOWBALL_COUNT_PRELOAD=$<TARGET_FILE:count-gl-image-puts>")
# Stands in for the display's power control, which the virtual displays lack,
# for the case that turns the display off.
add_library(fake-dpms SHARED ${CMAKE_CURRENT_LIST_DIR}/fake_dpms.c)
add_dependencies(flowball-x11-tests fake-dpms)
list(APPEND x11_e2e_environment "FLOWBALL_FAKE_DPMS=$<TARGET_FILE:fake-dpms>")
# Changes the given window's map state right after the program reads it, for
# the case that forces that race.
find_package(X11 REQUIRED)
add_library(window-change-after-read SHARED ${CMAKE_CURRENT_LIST_DIR}/window_change_after_read.c)
target_link_libraries(window-change-after-read PRIVATE X11::X11 ${CMAKE_DL_LIBS})
add_dependencies(flowball-x11-tests window-change-after-read)
list(APPEND x11_e2e_environment "FLOWBALL_WINDOW_CHANGE_PRELOAD=$<TARGET_FILE:window-change-after-read>")
# Brings a failing X error along with the given window's DestroyNotify.
add_library(error-beside-destroy SHARED ${CMAKE_CURRENT_LIST_DIR}/error_beside_destroy.c)
target_link_libraries(error-beside-destroy PRIVATE X11::X11 ${CMAKE_DL_LIBS})
add_dependencies(flowball-x11-tests error-beside-destroy)
list(APPEND x11_e2e_environment "FLOWBALL_ERROR_PRELOAD=$<TARGET_FILE:error-beside-destroy>")
add_test(NAME flowball-x11-e2e
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/run_x11_e2e.py $<TARGET_FILE:flowball>
                 --group xvfb)
# The cases on two monitors run on Xorg's dummy driver, which needs root:
# run by another user they report a skip (77), not a pass.
add_test(NAME flowball-x11-e2e-monitors
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/run_x11_e2e.py $<TARGET_FILE:flowball>
                 --group monitors)
# The package test runs cpack, which re-runs the build: never while the
# end-to-end test runs the program.
set_tests_properties(flowball-x11-e2e flowball-x11-e2e-monitors PROPERTIES TIMEOUT 900
  ENVIRONMENT "${x11_e2e_environment}" RESOURCE_LOCK flowball-program SKIP_RETURN_CODE 77)

# The support module of the end-to-end runners and the measuring script (its
# /proc readers, process finding, bounded waits), and the script's figures.
add_test(NAME measure-frames-parsing
         COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tests/perf/measure_frames_parsing_test.py)
# The long run's reading of /proc and its verdict (make soak), on canned
# samples.
add_test(NAME soak-verdict COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tests/perf/soak_test.py)

# The Debian package, from the native build's own programs.
if(NOT FLOWBALL_SANITIZE)
  add_test(NAME flowball-debian-package
           COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/package_test.py ${CMAKE_BINARY_DIR}
                   ${PROJECT_VERSION})
  set_tests_properties(flowball-debian-package PROPERTIES TIMEOUT 900 RESOURCE_LOCK flowball-program)
endif()

# The program under the X11 screen-saver daemon, run as an ordinary user on
# its own Xvfb (run_daemon_test.py). Its own group: ctest -L daemon.
if(NOT FLOWBALL_SANITIZE)
  add_test(NAME flowball-x11-daemon
           COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/run_daemon_test.py $<TARGET_FILE:flowball>)
  set_tests_properties(flowball-x11-daemon PROPERTIES TIMEOUT 600 LABELS daemon RESOURCE_LOCK flowball-program)
endif()

# The program from its package under MATE's screen saver, run as an ordinary
# user on its own Xvfb (run_mate_test.py): ctest -L mate. It builds the
# package as the package test does. Run by another user than root, which the
# bind mount of the program's folder needs, it reports a skip.
if(NOT FLOWBALL_SANITIZE)
  add_test(NAME flowball-mate-screensaver
           COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/run_mate_test.py ${CMAKE_BINARY_DIR})
  set_tests_properties(flowball-mate-screensaver PROPERTIES TIMEOUT 900 LABELS mate
                       RESOURCE_LOCK flowball-program SKIP_RETURN_CODE 77)
endif()
