# Follows README.md with README.md's own lines: configures the library with
# the default prefix, installs it elsewhere with --prefix, then builds the C
# example with the README's CMake lines and with its shell lines
# (pkg-config), and runs both. Twice: with the default library folder, and
# with a two-level one (lib/<arch>) from which the pkg-config file must find
# the prefix all the same.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# The first block of README.md fenced as `lang`.
file(READ ${SOURCE_DIR}/README.md readme)
function(readme_block lang out)
  string(REGEX MATCH "```${lang}\n([^`]*)```" block "${readme}")
  if(NOT block)
    message(FATAL_ERROR "README.md has no ```${lang} block")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()
readme_block(c app)
readme_block(cmake cmake_lines)
# The second C example, marked as mesh.c.
string(REGEX MATCH "<!-- example: mesh.c -->\n```c\n([^`]*)```" block "${readme}")
if(NOT block)
  message(FATAL_ERROR "README.md has no mesh.c example")
endif()
file(WRITE ${WORK_DIR}/mesh.c "${CMAKE_MATCH_1}")
readme_block(sh shell_lines)
# The folders this test puts in place of the README's.
foreach(placeholder "build/release" "/some/prefix")
  string(FIND "${shell_lines}" "${placeholder}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "README.md's shell lines no longer name ${placeholder}")
  endif()
endforeach()
file(WRITE ${WORK_DIR}/app.c "${app}")
file(WRITE ${WORK_DIR}/readme-lines.cmake "${cmake_lines}")

# What the example prints, at the end of `out`: "4 triangles", then four
# triangles that each name slot 5.
function(check_output what)
  string(REGEX MATCH "(^|\n)4 triangles\n(.*)$" printed "${out}")
  string(REGEX MATCHALL "[^\n]+" lines "${CMAKE_MATCH_2}")
  list(LENGTH lines count)
  list(FILTER lines INCLUDE REGEX "^([0-9]+ )*5( [0-9]+)*$")
  list(LENGTH lines with_centre)
  if(NOT printed OR NOT count EQUAL 4 OR NOT with_centre EQUAL 4)
    message(FATAL_ERROR "${what} printed:\n${out}")
  endif()
endfunction()

# What mesh.c prints: four triangles, each with one edge on the hull (one 0
# among the triangles across) and two others, then the hull from slot 1.
function(check_mesh_output what)
  string(REGEX MATCHALL "triangle [1-4]: [0-9 ]+, across [0-9 ]+" triangles "${out}")
  list(FILTER triangles INCLUDE REGEX "across (0 [1-4] [1-4]|[1-4] 0 [1-4]|[1-4] [1-4] 0)$")
  list(LENGTH triangles count)
  if(NOT count EQUAL 4 OR NOT out MATCHES "\nhull: 1 2 3 4\n")
    message(FATAL_ERROR "${what} printed:\n${out}")
  endif()
endfunction()

# The folder vantrel.pc names as `variable`, resolved, is `expected`.
function(expect_pc_folder variable expected)
  run(pkg-config --variable=${variable} vantrel)
  string(STRIP "${out}" named)
  file(REAL_PATH "${named}" named)
  if(NOT named STREQUAL expected)
    message(FATAL_ERROR "vantrel.pc names ${variable} ${named}, not ${expected}")
  endif()
endfunction()

set(build ${WORK_DIR}/build)
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build} -G ${GENERATOR}
    -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
    -DVANTREL_BUILD_DEMO=OFF -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_BENCH=OFF)
run(${CMAKE_COMMAND} --build ${build} --target trilib)

set(libdirs lib)
if(LIBRARY_ARCHITECTURE)
  list(APPEND libdirs lib/${LIBRARY_ARCHITECTURE})
endif()
foreach(libdir IN LISTS libdirs)
  string(MAKE_C_IDENTIFIER ${libdir} name)
  set(prefix ${WORK_DIR}/prefix-${name})
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${build} -DCMAKE_INSTALL_LIBDIR=${libdir})

  # The shell lines, with this test's folders; they install as well.
  string(REPLACE "build/release" "${build}" lines "${shell_lines}")
  string(REPLACE "/some/prefix/lib" "${prefix}/${libdir}" lines "${lines}")
  string(REPLACE "/some/prefix" "${prefix}" lines "${lines}")
  file(WRITE ${WORK_DIR}/readme-lines.sh "set -e\n${lines}")
  run(sh ${WORK_DIR}/readme-lines.sh)
  check_output("the pkg-config build (${libdir})")
  string(REPLACE "app.c" "mesh.c" lines "${lines}")
  file(WRITE ${WORK_DIR}/readme-lines.sh "set -e\n${lines}")
  run(sh ${WORK_DIR}/readme-lines.sh)
  check_mesh_output("mesh.c through pkg-config (${libdir})")

  # The flags name this prefix, not an earlier install elsewhere.
  set(ENV{PKG_CONFIG_PATH} ${prefix}/${libdir}/pkgconfig)
  expect_pc_folder(includedir ${prefix}/include)
  expect_pc_folder(libdir ${prefix}/${libdir})

  set(consumer ${WORK_DIR}/consumer-${name})
  foreach(example app mesh)
    run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${consumer}-${example} -G ${GENERATOR}
        -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_PREFIX_PATH=${prefix}
        -DAPP_SOURCE=${WORK_DIR}/${example}.c -DREADME_LINES=${WORK_DIR}/readme-lines.cmake)
    run(${CMAKE_COMMAND} --build ${consumer}-${example})
    run(${consumer}-${example}/app)
  endforeach()
  check_mesh_output("mesh.c through find_package (${libdir})")
  run(${consumer}-app/app)
  check_output("the find_package build (${libdir})")
endforeach()
