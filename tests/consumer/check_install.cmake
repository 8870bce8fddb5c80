# Installs the build in BUILD_DIR under WORK_DIR/prefix, checks the installed
# tree, runs the installed program, then builds and runs the consumer project
# against the tree, as another project would use it.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DSOURCE_DIR=<repository> -DLIBDIR=lib -DMANDIR=share/man
#         [-DCXX=...] -P check_install.cmake
cmake_minimum_required(VERSION 3.25)

function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGV}\nfailed (${status}):\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

foreach(installed
    bin/Kestrun
    include/kestrun/kestrun.h
    include/kestrun/kestrun_lists.def
    ${MANDIR}/man1/Kestrun.1
    ${LIBDIR}/cmake/Kestrun/KestrunConfig.cmake)
  if(NOT EXISTS ${prefix}/${installed})
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()
file(GLOB library ${prefix}/${LIBDIR}/libkestrun.so.*)
if(NOT library)
  message(FATAL_ERROR "the shared library is not installed")
endif()

run(${prefix}/bin/Kestrun --version)
message(STATUS "installed program: ${out}")
run(${prefix}/bin/Kestrun ${SOURCE_DIR}/examples/box_scene.ase ${WORK_DIR}/program.ma)

set(compiler "")
if(CXX)
  set(compiler -DCMAKE_CXX_COMPILER=${CXX})
endif()
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer -B ${WORK_DIR}/build -G Ninja -DCMAKE_PREFIX_PATH=${prefix}
    ${compiler})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/consumer ${SOURCE_DIR}/examples/box_scene.ase ${WORK_DIR}/consumer.ma)
message(STATUS "consumer: ${out}")
