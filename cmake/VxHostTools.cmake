# VxHostTools.cmake - Finds or builds the host's zvpack for builds that pack archives.
#
# vx_host_zvpack(<command var> <dependency var>) sets <command var> to what runs zvpack on
# the build machine and <dependency var> to what a custom command must DEPEND on so that it
# reruns when zvpack changes. In order of preference:
#   - VX_ZVPACK, a zvpack program given on the command line (for example one built once and
#     shared by several cross builds);
#   - the zvpack target of this build, when the build is native;
#   - in a cross build, this source tree configured natively in <build>/host-tools, building
#     only zvpack and the libraries it links (optimised, no sanitizers, no tests).
include_guard(GLOBAL)

set(VX_ZVPACK "" CACHE FILEPATH "A host zvpack program for packing archives (empty: build or use the tree's own)")

function(vx_host_tools_project)
  include(ExternalProject)
  set(dir ${CMAKE_BINARY_DIR}/host-tools)
  set(generator_args -G ${CMAKE_GENERATOR})
  if(CMAKE_MAKE_PROGRAM AND CMAKE_GENERATOR MATCHES "Ninja|Makefiles")
    list(APPEND generator_args -DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM})
  endif()
  # The outer build's CC/CXX or toolchain must not reach the native configuration: the
  # native compilers are the ones CMake finds with an empty environment for them.
  ExternalProject_Add(vx_host_tools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${dir}
    CONFIGURE_COMMAND ${CMAKE_COMMAND} -E env --unset=CC --unset=CXX --unset=CMAKE_TOOLCHAIN_FILE
      ${CMAKE_COMMAND} ${generator_args} -S <SOURCE_DIR> -B <BINARY_DIR>
      -DCMAKE_BUILD_TYPE=Release -DVX_TESTS=OFF -DVX_BENCHMARKS=OFF -DVX_FUZZ=OFF
      -DVX_SANITIZE=OFF -DVX_WERROR=${VX_WERROR}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target zvpack
    # Always asked, so that an edit of zvpack or its libraries reaches the cross build; the
    # inner build is a no-op when nothing changed, and the byproduct keeps its time stamp.
    BUILD_ALWAYS TRUE
    BUILD_BYPRODUCTS ${dir}/tools/zvpack/zvpack
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD TRUE)
endfunction()

function(vx_host_zvpack command_var depends_var)
  if(VX_ZVPACK)
    if(NOT EXISTS "${VX_ZVPACK}")
      message(FATAL_ERROR "VX_ZVPACK=${VX_ZVPACK}: no such program")
    endif()
    set(${command_var} ${VX_ZVPACK} PARENT_SCOPE)
    set(${depends_var} ${VX_ZVPACK} PARENT_SCOPE)
  elseif(NOT CMAKE_CROSSCOMPILING)
    # The target is defined in tools/, which may come after the caller; the generator
    # expressions are resolved once every directory has been read.
    set(${command_var} $<TARGET_FILE:zvpack> PARENT_SCOPE)
    set(${depends_var} zvpack PARENT_SCOPE)
  else()
    if(NOT TARGET vx_host_tools)
      vx_host_tools_project()
    endif()
    set(${command_var} ${CMAKE_BINARY_DIR}/host-tools/tools/zvpack/zvpack PARENT_SCOPE)
    set(${depends_var} vx_host_tools ${CMAKE_BINARY_DIR}/host-tools/tools/zvpack/zvpack PARENT_SCOPE)
  endif()
endfunction()
