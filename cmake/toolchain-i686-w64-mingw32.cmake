# Cross build for Windows with mingw-w64 (i686): the product.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VX_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Tests go through the 32-bit Wine of its own root (scripts/wine32-root.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine32-run.sh)
