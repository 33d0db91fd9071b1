# Cross build for Windows with mingw-w64 (i686): the product.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VX_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
