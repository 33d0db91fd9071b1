# The part of the mingw-w64 cross toolchains that both targets share; the toolchain file sets
# CMAKE_SYSTEM_PROCESSOR and VX_MINGW_TRIPLE first. The posix thread model gives std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${VX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${VX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
