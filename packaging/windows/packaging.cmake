# The Windows release files: packaging.json tells package.py (make dist, the
# installer tests) the version and where the build put the saver and its icon.

# The saver is built in the nested win32-thread-model build (saver-win32),
# which draws the icon in its src folder and copies flowball.scr up here.
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/packaging.json CONTENT "{
  \"version\": \"${PROJECT_VERSION}\",
  \"saver\": \"${CMAKE_BINARY_DIR}/flowball.scr\",
  \"icon\": \"${CMAKE_BINARY_DIR}/saver-win32/src/flowball.ico\"
}
")

include(${PROJECT_SOURCE_DIR}/tests/installer/installer.cmake)
