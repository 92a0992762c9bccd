# Whether this machine can run the Windows programs this build makes, under
# Wine: the 64-bit build always can on x86-64 Linux; the 32-bit one only where
# the kernel runs 32-bit programs, which is tried (scripts/can-run-32bit.sh),
# not guessed from names. Where it cannot, the tests that run the programs are
# registered as skipped, with the reason, so ctest reports them as skipped and
# never as passed.

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/can-run-32bit.sh
                  RESULT_VARIABLE runs_32bit_status OUTPUT_QUIET ERROR_QUIET)
  if(runs_32bit_status EQUAL 0)
    set(FLOWBALL_WINDOWS_RUNS ON)
  else()
    set(FLOWBALL_WINDOWS_RUNS OFF)
    set(FLOWBALL_WINDOWS_SKIP_REASON
        "this machine cannot run 32-bit x86 programs (tried by scripts/can-run-32bit.sh)")
    message(STATUS "32-bit programs do not run here: the tests that run them are skipped")
  endif()
else()
  set(FLOWBALL_WINDOWS_RUNS ON)
endif()

# A test that only says why it was not run: ctest reports it as skipped.
function(flowball_add_skipped_test name)
  add_test(NAME ${name}
           COMMAND sh -c "echo \"skipped: $1\"; exit 77" skip "${FLOWBALL_WINDOWS_SKIP_REASON}")
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
endfunction()
