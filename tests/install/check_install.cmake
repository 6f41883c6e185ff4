# Installs the build into a scratch prefix under the temporary folder, moves
# the prefix elsewhere (an install must not depend on where it was put), runs
# the installed tool with a clean environment, and builds and runs a
# consumer with no flags of its own, once through find_package(locmodel) and
# once through pkg-config.
file(REMOVE_RECURSE ${WORK_DIR})
if(DEFINED ENV{TMPDIR} AND IS_DIRECTORY "$ENV{TMPDIR}")
  set(tmp $ENV{TMPDIR})
else()
  set(tmp /tmp)
endif()
string(RANDOM LENGTH 10 tag)
set(installed ${tmp}/locmodel-install-${tag})
set(prefix ${tmp}/locmodel-prefix-${tag})

# Runs a command, failing the test (and removing the prefix) unless it exits 0.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    file(REMOVE_RECURSE ${installed} ${prefix})
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${installed})
file(RENAME ${installed} ${prefix})

run(env -i PATH=/usr/bin:/bin ${prefix}/bin/locmodel --version)
if(NOT out MATCHES "^locmodel ")
  file(REMOVE_RECURSE ${prefix})
  message(FATAL_ERROR "the installed tool printed: ${out}")
endif()

# The Python package imports from the prefix with nothing but its path.
if(PYTHON)
  run(env -i PYTHONPATH=${prefix}/${PYTHON_SITE} ${PYTHON} -c "import locmodel; print(len(locmodel.langs()))")
endif()

run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/consumer -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
run(${WORK_DIR}/consumer/consumer)

file(GLOB pc_dir ${prefix}/lib*/pkgconfig ${prefix}/lib/*/pkgconfig)
get_filename_component(libdir ${pc_dir} DIRECTORY)
run(env PKG_CONFIG_PATH=${pc_dir} pkg-config --cflags --libs locmodel)
separate_arguments(flags UNIX_COMMAND "${out}")
run(c++ ${CONSUMER_DIR}/consumer.cpp ${flags} -o ${WORK_DIR}/pc-consumer)
run(env LD_LIBRARY_PATH=${libdir} ${WORK_DIR}/pc-consumer)

file(REMOVE_RECURSE ${prefix})
