# Cross build for Windows with mingw-w64 (x86_64): the twin that runs here.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Tests go through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
