# Shared by the MinGW-w64 toolchain files beside it, which set
# VANTREL_MINGW_TRIPLE first. Debian's packages: g++-mingw-w64-{x86-64,i686}-posix
# and binutils-mingw-w64. The posix flavour of the compiler, because GCC 12's
# std::thread needs it (winpthreads, linked statically, see ProjectOptions.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VANTREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTREL_MINGW_TRIPLE}-windres)
set(CMAKE_DLLTOOL ${VANTREL_MINGW_TRIPLE}-dlltool)
set(CMAKE_OBJDUMP ${VANTREL_MINGW_TRIPLE}-objdump)

# Headers and libraries of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VANTREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
