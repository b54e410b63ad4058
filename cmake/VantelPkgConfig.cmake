# vantel.pc, panor.pc and tracel.pc, for hosts built without CMake. The files
# find the prefix from where they lie, so an installation may be moved.

file(RELATIVE_PATH VANTEL_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" VANTEL_PC_TO_PREFIX "${VANTEL_PC_TO_PREFIX}")
foreach(pc vantel panor tracel)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/pkgconfig/${pc}.pc.in ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
endforeach()
