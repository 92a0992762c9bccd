# Two Debian packages (make package): flowball, the program with the few
# libraries it links, and flowball-settings, the settings window with GTK and
# libadwaita, which depends on it.
#
# flowball, the program, X11 and Wayland:
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
# flowball-settings, the settings window:
#   /usr/bin/flowball-settings
#   /usr/share/applications/io.github.flowball.Settings.desktop   "Flowball Settings"
#   /usr/share/metainfo/io.github.flowball.Settings.metainfo.xml  AppStream's description
#   /usr/share/man/man1/flowball-settings.1.gz
#   /usr/share/doc/flowball-settings/copyright, changelog.gz
# Their dependencies come from the libraries the programs link (dpkg-shlibdeps):
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
configure_file(${package_dir}/flowball-settings.1 ${pages_dir}/flowball-settings.1 @ONLY)
configure_file(${package_dir}/settings-changelog ${pages_dir}/settings/changelog @ONLY)
configure_file(${package_dir}/io.github.flowball.Settings.metainfo.xml
               ${pages_dir}/io.github.flowball.Settings.metainfo.xml @ONLY)
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
add_custom_command(
  OUTPUT ${pages_dir}/flowball-settings.1.gz
  COMMAND gzip -9nf -k ${pages_dir}/flowball-settings.1
  DEPENDS ${pages_dir}/flowball-settings.1
  COMMENT "Compressing the settings window's manual page")
add_custom_command(
  OUTPUT ${pages_dir}/settings/changelog.gz
  COMMAND gzip -9nf -k ${pages_dir}/settings/changelog
  DEPENDS ${pages_dir}/settings/changelog
  COMMENT "Compressing the settings window's changelog")
add_custom_target(flowball-package-pages ALL
  DEPENDS ${pages_dir}/flowball.6.gz ${pages_dir}/flowball.xml ${pages_dir}/changelog.gz
          ${pages_dir}/flowball-settings.1.gz ${pages_dir}/settings/changelog.gz)

# What is not marked otherwise goes into the flowball package.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME saver)

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

install(TARGETS flowball-settings RUNTIME DESTINATION bin COMPONENT settings)
install(FILES ${package_dir}/io.github.flowball.Settings.desktop DESTINATION share/applications
        COMPONENT settings)
install(FILES ${pages_dir}/io.github.flowball.Settings.metainfo.xml DESTINATION share/metainfo
        COMPONENT settings)
install(FILES ${pages_dir}/flowball-settings.1.gz DESTINATION share/man/man1 COMPONENT settings)
install(FILES ${package_dir}/copyright ${pages_dir}/settings/changelog.gz DESTINATION share/doc/flowball-settings
        COMPONENT settings)

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL saver settings)
set(CPACK_PACKAGE_NAME flowball)
set(CPACK_DEBIAN_SAVER_PACKAGE_NAME flowball)
set(CPACK_DEBIAN_SETTINGS_PACKAGE_NAME flowball-settings)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Flowball developers <flowball@users.noreply.github.com>")
# Each package's description starts with its own summary line. CPack's
# CPACK_PACKAGE_DESCRIPTION_SUMMARY stays unset: it would go before both.
set(saver_summary "flowing, lit texture seen from inside a ball, as a screen saver")
set(saver_description
    "A camera wanders inside a textured ball, lit by a circling light: the\ntexture flows over the surface around it, between two black letterbox bars\nthat breathe slowly; drawn with OpenGL. On a Wayland desktop it covers every\noutput until any input, started by an idle daemon such as swayidle; on X11\nit runs in its own window, on the root window, or in the window of an X11\nscreen-saver daemon.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The software renderer, so that the program draws on machines without a GL
# driver of their own.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_SAVER_PACKAGE_SUGGESTS "xscreensaver | swayidle, flowball-settings")
set(CPACK_DEBIAN_SAVER_DESCRIPTION "${saver_summary}\n${saver_description}")
# The window starts this version's saver and watcher, and shows its icon.
set(CPACK_DEBIAN_SETTINGS_PACKAGE_DEPENDS "flowball (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_SETTINGS_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_SETTINGS_DESCRIPTION
    "settings window for the Flowball screen saver\nOne row for every setting of Flowball beside a live preview of its scene,\nwritten to the settings file every Linux mode reads at each change, and a\nswitch that starts the saver after some minutes without input, now and at\nevery login. GTK 4 and libadwaita.")
set(CPACK_STRIP_FILES ON)
include(CPack)
