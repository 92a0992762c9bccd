# The fuzz targets: one per parser of what comes from outside the programs
# (the saver's switches, the registry, the command lines of flowball and
# flowball-render, the daemon's window id, the system's monitor layout) and
# the settings' validation behind them. Each is tests/fuzz/NAME_fuzz.cpp,
# defining LLVMFuzzerTestOneInput, and checks properties of what it parsed,
# not only that nothing crashed.
#
# One source, two builds:
#   - the test builds (native, asan) link it with replay_main.cpp and run it
#     over its corpus, tests/fuzz/corpus/NAME/, as the test fuzz-replay.NAME,
#     so that an input once found stays found;
#   - build/fuzz (make fuzz, FLOWBALL_FUZZ) links it with clang's libFuzzer as
#     NAME-fuzz, which scripts/fuzz.py runs from that corpus.
#
# A parser of outside input gets its target here, in this list.

if(FLOWBALL_FUZZ)
  add_custom_target(fuzz-targets)
endif()

function(flowball_fuzz_target name)
  cmake_parse_arguments(PARSE_ARGV 1 target "" "" "SOURCES;LIBRARIES;INCLUDES")
  set(sources ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${name}_fuzz.cpp ${target_SOURCES})
  if(FLOWBALL_FUZZ)
    set(executable ${name}-fuzz)
    add_executable(${executable} ${sources})
    target_link_options(${executable} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzz-targets ${executable})
  else()
    set(executable fuzz-replay-${name})
    add_executable(${executable} ${sources} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/replay_main.cpp)
    add_test(NAME fuzz-replay.${name}
             COMMAND ${executable} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/corpus/${name})
  endif()
  set_target_properties(${executable} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  target_include_directories(${executable} PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR} ${target_INCLUDES})
  target_link_libraries(${executable} PRIVATE ${target_LIBRARIES})
endfunction()

set(render_tool ${PROJECT_SOURCE_DIR}/tools/render)

# The saver's switches and the window-handle numbers after them.
flowball_fuzz_target(saver_switches LIBRARIES flowball_windows_rules)
# The registry's values of every setting, any type and any bytes, through
# the store the reader reads from.
flowball_fuzz_target(registry_settings LIBRARIES flowball_windows_rules)
# flowball's command line and flowball-render's, by full option names;
# flowball's also through the idle watcher's saver command printed from it.
flowball_fuzz_target(host_options LIBRARIES flowball_idle_watcher flowball_posix_host)
flowball_fuzz_target(render_options
  SOURCES ${render_tool}/render_options.cpp ${render_tool}/monitor_list.cpp
  INCLUDES ${render_tool}
  LIBRARIES flowball_core)
# --window-id and XSCREENSAVER_WINDOW.
flowball_fuzz_target(window_id LIBRARIES flowball_posix_host)
# Any list of monitor rectangles to the views of a window, tiled under GL's
# viewport limit.
flowball_fuzz_target(monitor_layout LIBRARIES flowball_x11_host flowball_core glrecorder)
# The outputs a Wayland compositor describes, any rectangles and scales, to
# the part of the views each surface draws.
flowball_fuzz_target(wayland_outputs LIBRARIES flowball_wayland_rules flowball_core glrecorder)
# The settings table's validation, clamping and value texts.
flowball_fuzz_target(settings LIBRARIES flowball_core)
# The Linux programs' settings file: any text, and the settings written back
# into it.
flowball_fuzz_target(settings_file LIBRARIES flowball_core)
