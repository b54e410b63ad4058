# Debian packages from this build (scripts/package.sh runs it with the prefix /usr):
#   libvantel1    the three shared libraries and the icon set
#   libvantel-dev headers, the CMake package, the pkg-config files, examples
#   vantel-demo   the demo host and its companion programs
# Run-time dependencies are computed by dpkg-shlibdeps from the binaries.

set(VANTEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc)
set(VANTEL_DEB_RUNTIME libvantel${PROJECT_VERSION_MAJOR})

# Debian wants a copyright file and a changelog in each package's doc folder.
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
foreach(deb ${VANTEL_DEB_RUNTIME} libvantel-dev vantel-demo)
  set(deb_dir ${CMAKE_BINARY_DIR}/package/${deb})
  file(WRITE ${deb_dir}/changelog
    "${deb} (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
    "  * Built from the Vantel sources.\n\n"
    " -- Vantel developers <vantel@example.org>  ${changelog_date}\n")
  file(ARCHIVE_CREATE OUTPUT ${deb_dir}/changelog.gz
    PATHS ${deb_dir}/changelog FORMAT raw COMPRESSION GZip COMPRESSION_LEVEL 9)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${VANTEL_DOC_DIR}/${VANTEL_DEB_RUNTIME}
  RENAME copyright COMPONENT runtime)
install(FILES ${CMAKE_BINARY_DIR}/package/${VANTEL_DEB_RUNTIME}/changelog.gz
  DESTINATION ${VANTEL_DOC_DIR}/${VANTEL_DEB_RUNTIME} COMPONENT runtime)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${VANTEL_DOC_DIR}/libvantel-dev
  RENAME copyright COMPONENT dev)
install(FILES ${CMAKE_BINARY_DIR}/package/libvantel-dev/changelog.gz
  ${PROJECT_SOURCE_DIR}/docs/integration.md
  DESTINATION ${VANTEL_DOC_DIR}/libvantel-dev COMPONENT dev)
install(FILES ${PROJECT_SOURCE_DIR}/docs/examples/50-vantel-kiosk.rules
  DESTINATION ${VANTEL_DOC_DIR}/libvantel-dev/examples COMPONENT dev)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${VANTEL_DOC_DIR}/vantel-demo
  RENAME copyright COMPONENT demo)
# The demo's manual page; its companions' pages point at it.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package/man)
foreach(page vantel-demo vantel-demo-camera vantel-demo-keyboard)
  file(ARCHIVE_CREATE OUTPUT ${CMAKE_BINARY_DIR}/package/man/${page}.1.gz
    PATHS ${PROJECT_SOURCE_DIR}/docs/man/${page}.1 FORMAT raw COMPRESSION GZip COMPRESSION_LEVEL 9)
  install(FILES ${CMAKE_BINARY_DIR}/package/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
    COMPONENT demo)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/package/vantel-demo/changelog.gz
  DESTINATION ${VANTEL_DOC_DIR}/vantel-demo COMPONENT demo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantel)
set(CPACK_PACKAGE_VENDOR "Vantel developers")
set(CPACK_PACKAGE_CONTACT "Vantel developers <vantel@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL runtime dev demo)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# The packages' own libraries, for dpkg-shlibdeps to find before they are installed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/source ${CMAKE_BINARY_DIR}/panor
  ${CMAKE_BINARY_DIR}/tracel)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${VANTEL_DEB_RUNTIME})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The loader's cache is rebuilt once after a whole apt run, through dpkg's
# trigger, not by the ldconfig calls CPack would write into postinst and postrm.
# CPack leaves its own scripts out when the package brings scripts of that name.
file(WRITE ${CMAKE_BINARY_DIR}/package/runtime/triggers "activate-noawait ldconfig\n")
foreach(script postinst postrm)
  file(WRITE ${CMAKE_BINARY_DIR}/package/runtime/${script} "#!/bin/sh\nset -e\n")
endforeach()
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/package/runtime/triggers
  ${CMAKE_BINARY_DIR}/package/runtime/postinst ${CMAKE_BINARY_DIR}/package/runtime/postrm)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/lintian/${VANTEL_DEB_RUNTIME} DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
  COMPONENT runtime)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Qt draws the SVG icons through its image plugin, which nothing links.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "libqt${VANTEL_QT_MAJOR}svg${VANTEL_QT_MAJOR}")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SUGGESTS "network-manager, onboard")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "status indicators of a tablet's title bar (libraries)
Vantel gives a Qt host application the status indicators of a tablet's
title bar: battery, Wi-Fi, Ethernet, internet, screen capture, camera,
brightness, on-screen keyboard and more. This package holds the shared
libraries libvantel, libpanor and libtracel and the icon set.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvantel-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEV_DEPENDS runtime)
# Headers carry no ELF to compute from: the Qt headers they include.
if(VANTEL_QT_MAJOR EQUAL 5)
  set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "qtbase5-dev")
else()
  set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "qt6-base-dev")
endif()
set(CPACK_COMPONENT_DEV_DESCRIPTION "status indicators of a tablet's title bar (development files)
Headers, the CMake package (find_package(Vantel)), the pkg-config files
vantel.pc, panor.pc and tracel.pc, the integration guide and a sample
polkit rule for a kiosk user.")

set(CPACK_DEBIAN_DEMO_PACKAGE_NAME vantel-demo)
set(CPACK_DEBIAN_DEMO_PACKAGE_SECTION x11)
set(CPACK_COMPONENT_DEMO_DEPENDS runtime)
set(CPACK_COMPONENT_DEMO_DESCRIPTION "status indicators of a tablet's title bar (demo host)
vantel-demo shows the indicators on a title bar, on this machine or on a
simulated tablet, and with --check tells whether this machine has what
each indicator needs. With its camera program and stand-in keyboard.")

include(CPack)
