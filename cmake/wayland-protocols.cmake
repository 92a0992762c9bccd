# Wayland protocol code, generated at build time by wayland-scanner from the
# protocol descriptions the system's packages install; none is kept in the
# tree.
#
#   flowball_wayland_protocol(TARGET NAME XML)
#     adds NAME-client-protocol.h and NAME-protocol.c, made from XML, to the
#     static library TARGET (created on first use), whose users include the
#     header as "NAME-client-protocol.h".
#
# Where the descriptions come from:
#   FLOWBALL_WAYLAND_PROTOCOLS_DIR   wayland-protocols' folder (xdg-shell,
#                                    xdg-output)
#   FLOWBALL_WLR_PROTOCOLS_DIR       the wlroots protocols (layer shell,
#                                    virtual pointer): Debian 12 ships them
#                                    only inside librust-wayland-protocols-dev;
#                                    empty when that is not installed

include_guard(GLOBAL)

find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND REQUIRED IMPORTED_TARGET GLOBAL wayland-client wayland-egl egl)
# Cached, so that every folder that includes this file sees them (it runs
# once).
pkg_get_variable(wayland_scanner wayland-scanner wayland_scanner)
if(NOT wayland_scanner)
  message(FATAL_ERROR "wayland-scanner not found (Debian: libwayland-dev)")
endif()
set(FLOWBALL_WAYLAND_SCANNER ${wayland_scanner} CACHE INTERNAL "wayland-scanner")
pkg_get_variable(wayland_protocols_dir wayland-protocols pkgdatadir)
if(NOT wayland_protocols_dir)
  message(FATAL_ERROR "wayland-protocols not found (Debian: wayland-protocols)")
endif()
set(FLOWBALL_WAYLAND_PROTOCOLS_DIR ${wayland_protocols_dir} CACHE INTERNAL "wayland-protocols' folder")

if(NOT DEFINED FLOWBALL_WLR_PROTOCOLS_DIR)
  # The newest of the installed crate versions.
  file(GLOB wlr_layer_shell_candidates
       /usr/share/cargo/registry/wayland-protocols-*/wlr-protocols/unstable/wlr-layer-shell-unstable-v1.xml)
  set(wlr_protocols_dir "")
  if(wlr_layer_shell_candidates)
    list(SORT wlr_layer_shell_candidates COMPARE NATURAL ORDER DESCENDING)
    list(GET wlr_layer_shell_candidates 0 newest)
    get_filename_component(wlr_protocols_dir ${newest} DIRECTORY)
  endif()
  set(FLOWBALL_WLR_PROTOCOLS_DIR "${wlr_protocols_dir}" CACHE PATH
      "Folder of the wlroots protocol descriptions (wlr-layer-shell-unstable-v1.xml), empty for none")
endif()

function(flowball_wayland_protocol target name xml)
  set(out_dir ${CMAKE_BINARY_DIR}/wayland-protocols)
  set(header ${out_dir}/${name}-client-protocol.h)
  set(code ${out_dir}/${name}-protocol.c)
  add_custom_command(OUTPUT ${header}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND ${FLOWBALL_WAYLAND_SCANNER} client-header ${xml} ${header}
    DEPENDS ${xml} COMMENT "wayland-scanner: ${name} client header" VERBATIM)
  add_custom_command(OUTPUT ${code}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND ${FLOWBALL_WAYLAND_SCANNER} private-code ${xml} ${code}
    DEPENDS ${xml} COMMENT "wayland-scanner: ${name} code" VERBATIM)
  if(NOT TARGET ${target})
    add_library(${target} STATIC)
    target_include_directories(${target} PUBLIC ${out_dir})
    target_link_libraries(${target} PUBLIC PkgConfig::WAYLAND)
  endif()
  target_sources(${target} PRIVATE ${header} ${code})
endfunction()
