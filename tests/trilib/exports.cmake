# Fails unless the dynamic symbol table of LIBRARY defines Triangulate,
# TriangulateMesh and nothing else. Usage: cmake -DNM=<nm> -DLIBRARY=<file> -P exports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REGEX REPLACE "\n$" "" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(names)
foreach(line IN LISTS lines)
  # "<address> <type> <name>[@version]"
  if(line MATCHES "^[0-9a-fA-F]* *[A-Za-z] ([^@ ]+)")
    list(APPEND names "${CMAKE_MATCH_1}")
  endif()
endforeach()
if(NOT names STREQUAL "Triangulate;TriangulateMesh")
  message(FATAL_ERROR "expected Triangulate and TriangulateMesh as the only defined dynamic symbols, found:\n${listing}")
endif()
message(STATUS "exports: ${names}")
