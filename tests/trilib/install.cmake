# Installs the library (BUILD_DIR: its build folder) into a fresh prefix,
# then builds and runs a small C program against it twice: with
# find_package(vantrel) and with pkg-config.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/consumer -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
run(${WORK_DIR}/consumer/consumer)

# The .pc file names the configured prefix; point it at the temporary one.
file(GLOB_RECURSE pc_files ${prefix}/*/vantrel.pc)
if(NOT pc_files)
  message(FATAL_ERROR "no vantrel.pc under ${prefix}")
endif()
list(GET pc_files 0 pc_file)
get_filename_component(pc_dir ${pc_file} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
execute_process(COMMAND pkg-config --define-variable=prefix=${prefix} --cflags --libs vantrel
  OUTPUT_VARIABLE flags RESULT_VARIABLE failed OUTPUT_STRIP_TRAILING_WHITESPACE)
if(failed)
  message(FATAL_ERROR "pkg-config does not know vantrel")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
set(libdirs ${flags})
list(FILTER libdirs INCLUDE REGEX "^-L")
list(TRANSFORM libdirs REPLACE "^-L" "-Wl,-rpath,")
run(${C_COMPILER} -std=c99 -Wall -Wextra -Wpedantic -Werror ${CONSUMER_DIR}/consumer.c ${flags} ${libdirs}
    -o ${WORK_DIR}/consumer-pc)
run(${WORK_DIR}/consumer-pc)
