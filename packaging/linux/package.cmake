# The Debian package of the X11 program (make package):
#   /usr/libexec/xscreensaver/flowball             the program, where the
#                                                  screen-saver daemon looks
#   /usr/bin/flowball                              a link to it, for people
#                                                  and the desktop entry
#   /usr/share/xscreensaver/config/flowball.xml    the daemon's settings page
#   /usr/share/applications/flowball.desktop       the windowed mode
#   /usr/share/man/man6/flowball.6.gz              the manual page
# Its dependencies come from the libraries the program links (dpkg-shlibdeps).

set(package_dir ${CMAKE_CURRENT_LIST_DIR})
set(FLOWBALL_VERSION ${PROJECT_VERSION})
configure_file(${package_dir}/flowball.6 ${CMAKE_BINARY_DIR}/packaging/flowball.6 @ONLY)
# Debian wants manual pages compressed, without a time stamp (-n).
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/packaging/flowball.6.gz
  COMMAND gzip -9nf -k ${CMAKE_BINARY_DIR}/packaging/flowball.6
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/flowball.6
  COMMENT "Compressing the manual page")
add_custom_target(flowball-manual-page ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/flowball.6.gz)

install(TARGETS flowball RUNTIME DESTINATION libexec/xscreensaver)
# A relative link, so that it also holds in an unpacked tree under another root.
file(CREATE_LINK ../libexec/xscreensaver/flowball ${CMAKE_BINARY_DIR}/packaging/flowball-link SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/packaging/flowball-link DESTINATION bin RENAME flowball)
install(FILES ${package_dir}/flowball.xml DESTINATION share/xscreensaver/config)
install(FILES ${package_dir}/flowball.desktop DESTINATION share/applications)
install(FILES ${CMAKE_BINARY_DIR}/packaging/flowball.6.gz DESTINATION share/man/man6)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME flowball)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Flowball developers <flowball@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lit ball with a flowing texture, as a screen saver and in a window")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A lit ball between two breathing letterbox bars, its texture flowing over\nits surface, seen by a wandering camera; drawn with OpenGL. It runs in its own\nwindow, on the root window, or in the window of an X11 screen-saver daemon.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The software renderer, so that the program draws on machines without a GL
# driver of their own.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver")
set(CPACK_STRIP_FILES ON)
include(CPack)
