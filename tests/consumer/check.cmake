# Installs the build into a fresh prefix, then builds and runs the consumer
# project against it through find_package and through pkg-config, and runs
# the installed command.
# Variables: BUILD_DIR, SOURCE_DIR, WORK, FLAGS.
file(REMOVE_RECURSE ${WORK})
set(prefix ${WORK}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(file bin/tovrin lib/libtovrin.so lib/libtovrin_platform.so lib/libtovrin_host.so lib/libtovrin_host.a
        include/tovrin.h include/tovrin/host.hpp lib/cmake/Tovrin/TovrinConfig.cmake lib/pkgconfig/tovrin.pc)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK}/build -DCMAKE_PREFIX_PATH=${prefix}
    "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK}/build)
run(${WORK}/build/consumer_shared)
run(${WORK}/build/consumer_static)

set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
run(pkg-config --cflags --libs tovrin)
string(STRIP "${output}" pc_flags)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(extra UNIX_COMMAND "${FLAGS}")
run(c++ -std=c++20 ${extra} ${SOURCE_DIR}/consumer.cpp -o ${WORK}/consumer_pc ${pc_flags}
    -Wl,-rpath,${prefix}/lib -ldl)
run(${WORK}/consumer_pc)

run(${prefix}/bin/tovrin list)
if(NOT output MATCHES "Plain")
  message(FATAL_ERROR "installed tovrin list shows no Plain:\n${output}")
endif()
