# cmake -P script: install, build the consumer against the prefix, run it.
set(prefix ${WORK_DIR}/prefix)
set(build ${WORK_DIR}/consumer-build)
file(REMOVE_RECURSE ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  message("${out}${err}")
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
set(flags "")
if(SANITIZE)
  set(flags "-fsanitize=${SANITIZE}")
endif()
run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${build} -G ${GENERATOR}
  -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix}
  -DCMAKE_CXX_FLAGS=${flags} -DCMAKE_EXE_LINKER_FLAGS=${flags}
  -DCONSUMER_QT_MAJOR=${QT_MAJOR})
run(${CMAKE_COMMAND} --build ${build})
set(ENV{TRACEL_LOG_DIR} ${WORK_DIR}/log)
run(${build}/consumer)
if(NOT last_output MATCHES "vantel 1\\.2\\.7\\.3130")
  message(FATAL_ERROR "unexpected consumer output")
endif()
