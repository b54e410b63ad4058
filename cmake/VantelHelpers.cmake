# Shared build settings for the project's targets.

# Warnings for our own code; CI turns them into errors with VANTEL_WERROR.
function(vantel_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    $<$<BOOL:${VANTEL_WERROR}>:-Werror>)
endfunction()

# A shared library of the package: hidden symbols, an export macro header
# (<name>_export.h), a version and SONAME, and installed public headers.
#   vantel_shared_library(<target> VERSION <v> SOVERSION <s>
#                         INCLUDE_SUBDIR <dir under include/> HEADERS <public headers...>)
function(vantel_shared_library target)
  cmake_parse_arguments(L "" "VERSION;SOVERSION;INCLUDE_SUBDIR" "HEADERS" ${ARGN})
  set_target_properties(${target} PROPERTIES
    VERSION ${L_VERSION} SOVERSION ${L_SOVERSION}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    EXPORT_NAME ${target})
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/include)
  generate_export_header(${target} EXPORT_FILE_NAME ${gen}/${target}_export.h)
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${gen}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/${L_INCLUDE_SUBDIR}>)
  vantel_warnings(${target})
  add_library(Vantel::${target} ALIAS ${target})
  # The runtime package gets the SONAME file, the development one the link.
  install(TARGETS ${target} EXPORT VantelTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
  install(FILES ${L_HEADERS} ${gen}/${target}_export.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${L_INCLUDE_SUBDIR} COMPONENT dev)
endfunction()

# A QtTest suite run by CTest. Widgets use the offscreen platform unless the
# test sets its own; every test gets a private log directory and settings home.
#   vantel_add_test(<name> SOURCES <files...> [LIBS <targets...>]
#                   [ENVIRONMENT <VAR=value...>] [LABELS <labels...>] [TIMEOUT <s>])
function(vantel_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ENVIRONMENT;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt::Test ${T_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  vantel_warnings(${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}.work)
  add_test(NAME ${name} COMMAND ${name})
  # Under ThreadSanitizer every report is shown and fails the suite
  # (exitcode). Qt, GLib and libdbus are not built for it, so the C library
  # calls they make (malloc, memcpy, pthread_cond_destroy) are not checked
  # either; the locks they take still count. The doubles are started by fork
  # and exec from a suite that runs threads, which this runtime counts against
  # the parent unless die_after_fork is off; the child only calls exec.
  set(tsan "TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp:ignore_noninstrumented_modules=1:die_after_fork=0:exitcode=66:second_deadlock_stack=1")
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    LABELS "${T_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TRACEL_LOG_DIR=${work}/log;XDG_CONFIG_HOME=${work}/config;XDG_STATE_HOME=${work}/state;VANTEL_SOURCE_DIR=${PROJECT_SOURCE_DIR};${tsan};${T_ENVIRONMENT}")
  # The suites that run threads are built together by threaded_suites
  # (vantel_threaded_suites()), for the ThreadSanitizer build.
  if("threads" IN_LIST T_LABELS)
    set_property(GLOBAL APPEND PROPERTY VANTEL_THREADED_SUITES ${name})
  endif()
endfunction()

# The target threaded_suites: every suite labelled "threads" so far.
function(vantel_threaded_suites)
  get_property(suites GLOBAL PROPERTY VANTEL_THREADED_SUITES)
  add_custom_target(threaded_suites)
  if(suites)
    add_dependencies(threaded_suites ${suites})
  endif()
endfunction()
