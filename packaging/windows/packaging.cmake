# The Windows release files: packaging.json tells package.py (make dist, the
# installer tests) the version and where the build put the saver and its icon.

file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/packaging.json CONTENT "{
  \"version\": \"${PROJECT_VERSION}\",
  \"saver\": \"$<TARGET_FILE:flowball>\",
  \"icon\": \"$<TARGET_PROPERTY:flowball,FLOWBALL_ICON>\"
}
")

include(${PROJECT_SOURCE_DIR}/tests/installer/installer.cmake)
