# The Debian package of the flowball program, X11 and Wayland (make package):
#   /usr/libexec/xscreensaver/flowball             the program, where the
#                                                  screen-saver daemon looks
#   /usr/bin/flowball                              a link to it, for people
#                                                  and the desktop entry
#   /usr/share/xscreensaver/config/flowball.xml    the daemon's settings page
#   /usr/share/applications/flowball.desktop       the menu entry: a window on
#                                                  X11, every output on Wayland
#   /usr/share/applications/screensavers/flowball.desktop
#                                                  its entry in MATE's screen-
#                                                  saver list, which runs it
#                                                  from the daemon's folder
#   /usr/share/icons/hicolor/scalable/apps/flowball.svg   its icon
#   /usr/share/man/man6/flowball.6.gz              the manual page
#   /usr/lib/systemd/user/flowball-idle.service    the idle watcher as a user
#                                                  service, off until a user
#                                                  enables it
#   /usr/share/doc/flowball/copyright              the licence, in Debian's
#                                                  machine-readable form
#   /usr/share/doc/flowball/changelog.gz           the package's history
# Its dependencies come from the libraries the program links (dpkg-shlibdeps):
# Xlib and GLX for the X11 host, the Wayland client and EGL libraries for the
# Wayland host.

set(package_dir ${CMAKE_CURRENT_LIST_DIR})
set(pages_dir ${CMAKE_BINARY_DIR}/packaging)
set(FLOWBALL_VERSION ${PROJECT_VERSION})

# The manual page's settings and the daemon's controls are written from the
# settings table, by a program built from it.
add_library(flowball_settings_pages STATIC ${package_dir}/settings_pages.cpp)
target_include_directories(flowball_settings_pages PUBLIC ${package_dir})
target_link_libraries(flowball_settings_pages PUBLIC flowball_core)
add_executable(make-settings-pages ${package_dir}/make_settings_pages.cpp)
target_link_libraries(make-settings-pages PRIVATE flowball_settings_pages)

configure_file(${package_dir}/flowball.6 ${pages_dir}/flowball.6.in @ONLY)
configure_file(${package_dir}/changelog ${pages_dir}/changelog @ONLY)
add_custom_command(
  OUTPUT ${pages_dir}/flowball.6 ${pages_dir}/flowball.xml
  COMMAND make-settings-pages ${pages_dir}/flowball.6.in ${pages_dir}/flowball.6
          ${package_dir}/flowball.xml ${pages_dir}/flowball.xml
  DEPENDS make-settings-pages ${pages_dir}/flowball.6.in ${package_dir}/flowball.xml
  COMMENT "Writing the manual page and the daemon's settings page from the settings table")
# Debian wants manual pages and changelogs compressed, without a time stamp
# (-n).
add_custom_command(
  OUTPUT ${pages_dir}/flowball.6.gz
  COMMAND gzip -9nf -k ${pages_dir}/flowball.6
  DEPENDS ${pages_dir}/flowball.6
  COMMENT "Compressing the manual page")
add_custom_command(
  OUTPUT ${pages_dir}/changelog.gz
  COMMAND gzip -9nf -k ${pages_dir}/changelog
  DEPENDS ${pages_dir}/changelog
  COMMENT "Compressing the changelog")
add_custom_target(flowball-package-pages ALL
  DEPENDS ${pages_dir}/flowball.6.gz ${pages_dir}/flowball.xml ${pages_dir}/changelog.gz)

install(TARGETS flowball RUNTIME DESTINATION libexec/xscreensaver)
# A relative link, so that it also holds in an unpacked tree under another root.
file(CREATE_LINK ../libexec/xscreensaver/flowball ${CMAKE_BINARY_DIR}/packaging/flowball-link SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/packaging/flowball-link DESTINATION bin RENAME flowball)
install(FILES ${pages_dir}/flowball.xml DESTINATION share/xscreensaver/config)
install(FILES ${package_dir}/flowball.desktop DESTINATION share/applications)
install(FILES ${package_dir}/flowball-screensaver.desktop DESTINATION share/applications/screensavers
        RENAME flowball.desktop)
install(FILES ${package_dir}/flowball.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${pages_dir}/flowball.6.gz DESTINATION share/man/man6)
install(FILES ${package_dir}/flowball-idle.service DESTINATION lib/systemd/user)
install(FILES ${package_dir}/copyright ${pages_dir}/changelog.gz DESTINATION share/doc/flowball)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME flowball)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Flowball developers <flowball@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "flowing, lit texture seen from inside a ball, as a screen saver")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A camera wanders inside a textured ball, lit by a circling light: the\ntexture flows over the surface around it, between two black letterbox bars\nthat breathe slowly; drawn with OpenGL. On a Wayland desktop it covers every\noutput until any input, started by an idle daemon such as swayidle; on X11\nit runs in its own window, on the root window, or in the window of an X11\nscreen-saver daemon.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The software renderer, so that the program draws on machines without a GL
# driver of their own.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | swayidle")
set(CPACK_STRIP_FILES ON)
include(CPack)
