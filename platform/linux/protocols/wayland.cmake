# Client code for the Wayland protocols the Linux backend speaks, made by
# wayland-scanner at build time. The wlroots protocols are kept beside this
# file (Debian ships no package of them); the others come from Debian's
# wayland-protocols and plasma-wayland-protocols.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VANTEL_WAYLAND REQUIRED IMPORTED_TARGET GLOBAL wayland-client)
pkg_get_variable(VANTEL_WAYLAND_SCANNER wayland-scanner wayland_scanner)
pkg_get_variable(VANTEL_WAYLAND_PROTOCOLS wayland-protocols pkgdatadir)
if(NOT VANTEL_WAYLAND_SCANNER OR NOT VANTEL_WAYLAND_PROTOCOLS)
  message(FATAL_ERROR "wayland-scanner and wayland-protocols are needed (libwayland-dev, wayland-protocols)")
endif()
find_file(VANTEL_KDE_IDLE_XML idle.xml PATHS /usr/share/plasma-wayland-protocols REQUIRED NO_DEFAULT_PATH)

set(VANTEL_WAYLAND_XMLS
  ${CMAKE_CURRENT_LIST_DIR}/wlr-screencopy-unstable-v1.xml
  ${CMAKE_CURRENT_LIST_DIR}/wlr-output-power-management-unstable-v1.xml
  ${CMAKE_CURRENT_LIST_DIR}/wlr-foreign-toplevel-management-unstable-v1.xml
  ${VANTEL_WAYLAND_PROTOCOLS}/staging/ext-idle-notify/ext-idle-notify-v1.xml
  ${VANTEL_WAYLAND_PROTOCOLS}/stable/xdg-shell/xdg-shell.xml
  ${VANTEL_KDE_IDLE_XML})

set(VANTEL_WAYLAND_GENERATED ${CMAKE_CURRENT_BINARY_DIR}/wayland-protocols)
file(MAKE_DIRECTORY ${VANTEL_WAYLAND_GENERATED})
set(VANTEL_WAYLAND_SOURCES)
foreach(xml ${VANTEL_WAYLAND_XMLS})
  get_filename_component(base ${xml} NAME_WE)
  if(base STREQUAL "idle")
    set(base kde-idle)
  endif()
  set(header ${VANTEL_WAYLAND_GENERATED}/${base}-client-protocol.h)
  set(code ${VANTEL_WAYLAND_GENERATED}/${base}-protocol.c)
  add_custom_command(OUTPUT ${header} ${code}
    COMMAND ${VANTEL_WAYLAND_SCANNER} client-header ${xml} ${header}
    COMMAND ${VANTEL_WAYLAND_SCANNER} private-code ${xml} ${code}
    DEPENDS ${xml} VERBATIM)
  list(APPEND VANTEL_WAYLAND_SOURCES ${header} ${code})
endforeach()

# C code of the scanner, kept apart from the library's warning flags.
add_library(vantel_wayland_protocols STATIC ${VANTEL_WAYLAND_SOURCES})
set_target_properties(vantel_wayland_protocols PROPERTIES POSITION_INDEPENDENT_CODE ON LINKER_LANGUAGE C)
target_include_directories(vantel_wayland_protocols PUBLIC ${VANTEL_WAYLAND_GENERATED})
target_link_libraries(vantel_wayland_protocols PUBLIC PkgConfig::VANTEL_WAYLAND)
