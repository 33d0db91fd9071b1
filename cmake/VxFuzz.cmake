# vx_fuzz_target(name SOURCES ... [DEPS ...]): one libFuzzer program (host, clang, VX_FUZZ only),
# built with the sanitizers that catch what a hostile input can do. Every program lands in
# <build>/fuzz/ so that scripts/fuzz.sh finds them all in one place.
include_guard(GLOBAL)

function(vx_fuzz_target name)
  if(NOT VX_FUZZ OR WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  vx_warnings(${name})

  set_property(GLOBAL APPEND PROPERTY VX_FUZZ_DEPS ${ARG_DEPS})
  get_property(deferred GLOBAL PROPERTY VX_FUZZ_INSTRUMENTATION_DEFERRED)
  if(NOT deferred)
    set_property(GLOBAL PROPERTY VX_FUZZ_INSTRUMENTATION_DEFERRED ON)
    # The libraries a target reaches may be defined after it; all are once the top
    # directory has been read.
    cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL vx_instrument_fuzzed_libraries)
  endif()
endfunction()

# Adds the project's static libraries that `lib` links, directly or through others, to the list
# named by `out`.
function(vx_collect_static_libraries lib out)
  set(found ${${out}})
  if(NOT TARGET ${lib} OR lib IN_LIST found)
    return()
  endif()
  get_target_property(imported ${lib} IMPORTED)
  if(imported)
    return()
  endif()
  get_target_property(type ${lib} TYPE)
  if(type STREQUAL "STATIC_LIBRARY")
    list(APPEND found ${lib})
    get_target_property(links ${lib} LINK_LIBRARIES)
  else()
    get_target_property(links ${lib} INTERFACE_LINK_LIBRARIES)
  endif()
  foreach(link IN LISTS links)
    if(link)
      vx_collect_static_libraries(${link} found)
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Coverage guides the fuzzer only where the code is instrumented: the libraries under test get
# the fuzzer's edge counters and the same sanitizers as the programs.
function(vx_instrument_fuzzed_libraries)
  get_property(deps GLOBAL PROPERTY VX_FUZZ_DEPS)
  set(libraries "")
  foreach(dep IN LISTS deps)
    vx_collect_static_libraries(${dep} libraries)
  endforeach()
  foreach(lib IN LISTS libraries)
    target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
      -fno-omit-frame-pointer)
  endforeach()
endfunction()
