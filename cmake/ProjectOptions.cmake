# Warnings and sanitizers, linked PRIVATE into every target of the project.
add_library(project_warnings INTERFACE)
add_library(vantrel::project_warnings ALIAS project_warnings)
if(MSVC)
  target_compile_options(project_warnings INTERFACE /W4 $<$<BOOL:${VANTREL_WERROR}>:/WX>)
else()
  target_compile_options(project_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wconversion -Wshadow
    $<$<BOOL:${VANTREL_WERROR}>:-Werror>)
endif()

add_library(project_sanitizers INTERFACE)
add_library(vantrel::project_sanitizers ALIAS project_sanitizers)
if(VANTREL_SANITIZE)
  target_compile_options(project_sanitizers INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(project_sanitizers INTERFACE -fsanitize=address,undefined)
elseif(VANTREL_TSAN)
  target_compile_options(project_sanitizers INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(project_sanitizers INTERFACE -fsanitize=thread)
endif()

# Everything a target of ours links privately.
add_library(project_options INTERFACE)
add_library(vantrel::project_options ALIAS project_options)
target_link_libraries(project_options INTERFACE project_warnings project_sanitizers)
target_compile_features(project_options INTERFACE cxx_std_20)

# Windows programs and the DLL carry the compiler's C and C++ runtimes and
# winpthreads inside: they need nothing beyond the system's own DLLs.
if(MINGW)
  target_link_options(project_options INTERFACE -static)
endif()

# 32-bit x86: double arithmetic in SSE2 registers, not on the x87 stack. The
# in-circle filter's error bound assumes every operation rounded once to
# IEEE double; x87's 80-bit intermediates, rounded again when stored, break
# that assumption (trilib/Predicates.h refuses to compile without this).
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86|i[3-6]86)$")
  target_compile_options(project_options INTERFACE -msse2 -mfpmath=sse)
endif()
