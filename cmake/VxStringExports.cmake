# vx_export_string_class(<target>): a Windows executable exports the string class under MSVC names.
#
# The module-definition file is generated at build time from string/vx_string.h: clang names
# each function for the matching MSVC target (i686 or x86-64), the product's g++ names the
# same function, and every MSVC name is exported as an alias of the symbol the build defines.
# Outside Windows builds the function does nothing.
include_guard(GLOBAL)

set(VX_STRING_EXPORTS_DIR ${CMAKE_CURRENT_LIST_DIR}/../string/exports)
cmake_path(NORMAL_PATH VX_STRING_EXPORTS_DIR)

# The tools both the generator and the export test run, as VX_STRING_INTERFACE_ARGS: the
# arguments with which both read the class's interface from its header.
macro(vx_find_string_export_tools)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  find_program(VX_CLANGXX NAMES clang++ REQUIRED)
  find_program(VX_LLVM_NM NAMES llvm-nm REQUIRED)
  find_program(VX_LLVM_UNDNAME NAMES llvm-undname REQUIRED)
  find_program(VX_LLVM_CXXFILT NAMES llvm-cxxfilt REQUIRED)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VX_MSVC_TARGET x86_64-pc-windows-msvc)
  else()
    set(VX_MSVC_TARGET i686-pc-windows-msvc)
  endif()
  set(VX_STRING_INTERFACE_ARGS
    --header ${PROJECT_SOURCE_DIR}/string/vx_string.h --source-root ${PROJECT_SOURCE_DIR}
    --clang ${VX_CLANGXX} --msvc-target ${VX_MSVC_TARGET} --cxx ${CMAKE_CXX_COMPILER}
    --nm ${VX_LLVM_NM} --undname ${VX_LLVM_UNDNAME} --cxxfilt ${VX_LLVM_CXXFILT})
endmacro()

function(vx_export_string_class target)
  if(NOT WIN32)
    return()
  endif()
  vx_find_string_export_tools()
  set(work_dir ${CMAKE_BINARY_DIR}/string_exports/${target})
  set(def_file ${work_dir}/${target}.def)
  file(GLOB generator_files CONFIGURE_DEPENDS ${VX_STRING_EXPORTS_DIR}/*.py
    ${VX_STRING_EXPORTS_DIR}/include/*)
  add_custom_command(OUTPUT ${def_file}
    COMMAND ${Python3_EXECUTABLE} -B ${VX_STRING_EXPORTS_DIR}/make_export_def.py
      ${VX_STRING_INTERFACE_ARGS} --work-dir ${work_dir} ${def_file}
    DEPENDS ${PROJECT_SOURCE_DIR}/string/vx_string.h ${generator_files}
    COMMENT "Naming the exports of the string class for ${target}"
    VERBATIM)
  # g++ hands a .def on its command line to ld as the module-definition file (CMake gives .def
  # sources to this toolchain's linker only for DLLs); ld then pulls the string library's
  # objects that define the exported symbols.
  add_custom_target(${target}_string_exports DEPENDS ${def_file})
  add_dependencies(${target} ${target}_string_exports)
  target_link_options(${target} PRIVATE ${def_file})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${def_file})
  target_link_libraries(${target} PRIVATE vx_string)
  # The exported names must stay where the string library's own objects put them.
  set_property(TARGET vx_string PROPERTY VX_EXPORTED_BY_NAME TRUE)
  # ld otherwise stamps the link time into the PE header and the export directory.
  target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
endfunction()
