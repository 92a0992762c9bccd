# The libFuzzer target for the command-line scanning, built with clang
# (libFuzzer is clang's) apart from the main compiler, and a bounded run of it
# as a test. Included by the native test build when clang++ is there.
find_program(CLANGXX_EXECUTABLE clang++)
if(NOT CLANGXX_EXECUTABLE)
  message(STATUS "clang++ missing: no command-line fuzz target")
  return()
endif()

set(fuzz_binary ${CMAKE_CURRENT_BINARY_DIR}/command-line-fuzz)
set(fuzz_sources ${CMAKE_CURRENT_LIST_DIR}/command_line_fuzz.cpp
                 ${PROJECT_SOURCE_DIR}/src/host/windows/saver_switches.cpp)
add_custom_command(
  OUTPUT ${fuzz_binary}
  COMMAND ${CLANGXX_EXECUTABLE} -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined
          -fno-sanitize-recover=all -I${PROJECT_SOURCE_DIR}/src ${fuzz_sources} -o ${fuzz_binary}
  DEPENDS ${fuzz_sources} ${PROJECT_SOURCE_DIR}/src/host/windows/saver_switches.h
  COMMENT "Building the command-line fuzz target with clang")
add_custom_target(command-line-fuzz ALL DEPENDS ${fuzz_binary})

# A fixed seed keeps the run repeatable; the corpus starts from the switches.
add_test(NAME command-line-fuzz
         COMMAND ${fuzz_binary} -seed=1 -runs=200000 -max_len=64
                 -dict=${CMAKE_CURRENT_LIST_DIR}/command_line.dict)
set_tests_properties(command-line-fuzz PROPERTIES TIMEOUT 300)
