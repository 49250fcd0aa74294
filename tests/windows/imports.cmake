# cmake -DOBJDUMP=... -DFILE=... -P imports.cmake
# Fails unless every DLL that FILE imports is one that every Windows has.
set(system_dlls
  kernel32.dll user32.dll gdi32.dll comctl32.dll advapi32.dll shell32.dll
  msvcrt.dll ntdll.dll version.dll)

execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${FILE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${headers}")
if(NOT lines)
  message(FATAL_ERROR "${FILE} imports nothing: not a program built for Windows?")
endif()
set(foreign "")
foreach(line ${lines})
  string(REGEX REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" lower)
  list(FIND system_dlls "${lower}" known)
  if(known EQUAL -1)
    list(APPEND foreign "${dll}")
  endif()
  message(STATUS "imports ${dll}")
endforeach()
if(foreign)
  message(FATAL_ERROR "${FILE} imports DLLs that are not part of Windows: ${foreign}")
endif()
