# libdeflate for zvpack's --best. The host links Debian's libdeflate-dev; the Windows builds
# compile the same version from Debian's source package, which scripts/libdeflate-source.sh
# fetches and unpacks outside the checkout, so that both write the same bytes.

# vx_libdeflate(): defines vx_libdeflate, the library with its header on the include path.
function(vx_libdeflate)
  if(TARGET vx_libdeflate)
    return()
  endif()
  if(NOT WIN32)
    # Debian's libdeflate-dev has no CMake package file.
    find_path(LIBDEFLATE_INCLUDE_DIR libdeflate.h)
    find_library(LIBDEFLATE_LIBRARY deflate)
    if(NOT LIBDEFLATE_INCLUDE_DIR OR NOT LIBDEFLATE_LIBRARY)
      message(FATAL_ERROR "zvpack needs libdeflate (Debian: libdeflate-dev; scripts/setup.sh installs it)")
    endif()
    add_library(vx_libdeflate INTERFACE)
    target_include_directories(vx_libdeflate INTERFACE ${LIBDEFLATE_INCLUDE_DIR})
    target_link_libraries(vx_libdeflate INTERFACE ${LIBDEFLATE_LIBRARY})
    return()
  endif()
  # The script says where it keeps the sources (VX_LIBDEFLATE_SOURCE in the environment, else
  # its own default).
  set(script ${PROJECT_SOURCE_DIR}/scripts/libdeflate-source.sh)
  execute_process(COMMAND bash ${script} path OUTPUT_VARIABLE default_source OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(VX_LIBDEFLATE_SOURCE "${default_source}" CACHE PATH
    "Debian's libdeflate 1.14-1 sources, unpacked by scripts/libdeflate-source.sh ensure")
  if(NOT EXISTS "${VX_LIBDEFLATE_SOURCE}/.zelvora-libdeflate-source")
    message(FATAL_ERROR "libdeflate's sources are not at VX_LIBDEFLATE_SOURCE (${VX_LIBDEFLATE_SOURCE}); "
      "run scripts/libdeflate-source.sh ensure (scripts/setup.sh does)")
  endif()
  file(GLOB sources ${VX_LIBDEFLATE_SOURCE}/lib/*.c ${VX_LIBDEFLATE_SOURCE}/lib/x86/*.c)
  add_library(vx_libdeflate STATIC ${sources})
  target_include_directories(vx_libdeflate PUBLIC ${VX_LIBDEFLATE_SOURCE})
  # Its own makefile's flags; none of the project's warnings (its code is not ours to change).
  target_compile_options(vx_libdeflate PRIVATE -O2 -fomit-frame-pointer -std=c99 -w)
  target_compile_definitions(vx_libdeflate PRIVATE _ANSI_SOURCE)
  # Reproducible as the rest of the Windows build: the sources' folder is named by no output.
  target_compile_options(vx_libdeflate PRIVATE -ffile-prefix-map=${VX_LIBDEFLATE_SOURCE}=libdeflate)
endfunction()
