# The Windows release files: packaging.json tells package.py (make dist, the
# installer tests) the version, the architecture, where the build put the saver
# and its icon, and the strip tool for the release copy of the saver.

# The saver is built in the nested win32-thread-model build (saver-win32),
# which draws the icon in its src folder and copies flowball.scr up here.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(release_arch x64)
else()
  set(release_arch x86)
endif()
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/packaging.json CONTENT "{
  \"version\": \"${PROJECT_VERSION}\",
  \"arch\": \"${release_arch}\",
  \"strip\": \"${FLOWBALL_MINGW_TRIPLE}-strip\",
  \"saver\": \"${CMAKE_BINARY_DIR}/flowball.scr\",
  \"icon\": \"${CMAKE_BINARY_DIR}/saver-win32/src/flowball.ico\"
}
")

include(${PROJECT_SOURCE_DIR}/tests/installer/installer.cmake)
