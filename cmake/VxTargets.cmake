# Helpers that give every target of the project the same warnings, and every test the same shape.

function(vx_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor)
    if(VX_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()

# vx_library(name SOURCES ... [DEPS ...]): a static library of the project.
function(vx_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_SOURCES)
    # A subsystem that has no sources yet still gives its dependants the include path.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  vx_warnings(${name})
endfunction()

# vx_test(name SOURCES ... [DEPS ...] [LABELS ...]): one GoogleTest program, registered as one
# CTest test. In the Windows builds CTest runs it through Wine (the toolchain's emulator: wine64
# for win64, the 32-bit Wine root for win32), labelled "wine"; every one is labelled "unit".
function(vx_test name)
  if(NOT VX_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  if(NOT ARG_SOURCES)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  # Tests link the platform layer with its test seams (platform/CMakeLists.txt).
  set_target_properties(${name} PROPERTIES VX_TEST_PLATFORM ON)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} gtest gtest_main)
  vx_warnings(${name})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  # "unit": a GoogleTest program, which scripts/test.sh --repeat leaves out unless named.
  list(APPEND ARG_LABELS unit)
  if(WIN32)
    list(APPEND ARG_LABELS wine)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
endfunction()

# vx_benchmark(name SOURCES ... [DEPS ...]): a Google Benchmark program (host only).
function(vx_benchmark name)
  if(NOT VX_BENCHMARKS OR WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
  vx_warnings(${name})
endfunction()

# vx_tool_directory(): the Windows build of a tool's folder may use the calls of Windows 7
# (slim locks, condition variables, wide file calls); the product keeps its older floor.
macro(vx_tool_directory)
  if(WIN32)
    get_directory_property(vx_tool_definitions COMPILE_DEFINITIONS)
    list(REMOVE_ITEM vx_tool_definitions _WIN32_WINNT=0x0501)
    list(APPEND vx_tool_definitions _WIN32_WINNT=0x0601)
    set_directory_properties(PROPERTIES COMPILE_DEFINITIONS "${vx_tool_definitions}")
  endif()
endmacro()
