# The part of the mingw-w64 cross toolchains that both targets share; the toolchain file sets
# CMAKE_SYSTEM_PROCESSOR and VX_MINGW_TRIPLE first.
#
# The win32 thread model: its C++ runtime uses the system's own threads and links no
# winpthread (about 30 KiB in the i686 product). It has no std::thread; nothing built for
# Windows needs one (the tests start their threads through platform/testing/parallel_runs.h).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${VX_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${VX_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER  ${VX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Formatted printing is msvcrt's own rather than the mingw-w64 formatter (about 24 KiB in the
# i686 product): the system's formatter is the one the string class's Format must match on
# Windows. The C++ library always declares the mingw-w64 entry points (its configuration sets
# __USE_MINGW_ANSI_STDIO), so every Windows program is linked with them bound to the
# runtime's wrappers over msvcrt's _vsnprintf, which keep the C99 return value (the length
# needed). Formats keep to what both understand: no %zu, %hhd or %Lf; %lld works in both.
if(NOT CMAKE_EXE_LINKER_FLAGS_INIT MATCHES "__ms_vsnprintf")
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(_vx_c_prefix _)
  else()
    set(_vx_c_prefix "")
  endif()
  foreach(function vsnprintf snprintf)
    string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT
      " -Wl,--defsym,${_vx_c_prefix}__mingw_${function}=${_vx_c_prefix}__ms_${function}")
  endforeach()
endif()
