# vx_minimize_size(<target>): the smallest executable the GNU toolchain makes of the project's code.
#
# Every function and object goes into a section of its own (-ffunction-sections
# -fdata-sections), in the target and in each of the project's static libraries that it links,
# however indirectly, so that the linker can drop whatever nothing reaches (--gc-sections).
# The same code is built without run-time type information (-fno-rtti): nothing in it casts
# dynamically or asks typeid, and the types it throws keep theirs, so exceptions work as ever;
# the type information of every class with virtual members, and the C++ runtime's classes
# for multiple inheritance, stay out. In
# the size-optimised and release configurations the symbol table is left out as well (-s); the
# other configurations keep it for the debugger. Exported symbols stay: the linker keeps what
# the export table names.
#
# With MinGW, std::terminate's default handler becomes abort itself. The default handler of
# libstdc++ prints the type of an uncaught exception to stderr, which a GUI program does not
# have, and for that it links the whole C++ name demangler (about 48 KiB in the i686 build).
#
# The libraries are compiled once for all their users, so the sections land in every program
# that links them, which costs nothing at run time. The walk over the libraries runs when the
# whole project has been read, so the target's libraries may be defined after the call.
#
# The program is optimised as a whole at the link (-flto): the compiler then drops and
# folds across the project's files what no single file can see is unused or alike, about a
# tenth of the i686 product. The libraries' objects are fat (-ffat-lto-objects), and every
# other program links without the linker plugin, so that the tests and tools that link the
# same libraries get their ordinary code (with the plugin, GNU ld for PE takes an inline
# function's static from the plugin and from a test's own object as two definitions). A
# library whose functions the program exports by name through a module-definition file (the
# string class) keeps ordinary objects: ld resolves those names after the compiler has
# optimised the program, which by then has moved or dropped them. Such a library carries
# the target property VX_EXPORTED_BY_NAME. Identical code folding is
# the compiler's (-fipa-icf, on at -Os and -O2); GNU ld has no --icf for PE. The link writes its map beside the program as <name>.map
# (tests/size/pe_makeup.py reads the makeup from it); the map is not part of the product.
#
# The symbol table goes after the link, not through -s: the unstripped executable is kept
# beside the product as <name>.unstripped<suffix> (for the debugger and for checks that map
# exports to symbols) and named by the target property VX_UNSTRIPPED_FILE.
set(VX_SIZE_COMPILE_OPTIONS -ffunction-sections -fdata-sections -fno-rtti)
set(VX_LTO_COMPILE_OPTIONS -flto -ffat-lto-objects)
if(MINGW)
  add_link_options(-fno-use-linker-plugin)
endif()

function(vx_minimize_size target)
  if(MSVC)
    return()
  endif()
  target_compile_options(${target} PRIVATE ${VX_SIZE_COMPILE_OPTIONS} ${VX_LTO_COMPILE_OPTIONS})
  target_link_options(${target} PRIVATE -Wl,--gc-sections -flto -fuse-linker-plugin)
  if(MINGW)
    target_link_options(${target} PRIVATE -Wl,-Map=$<TARGET_FILE_DIR:${target}>/${target}.map)
  endif()
  if(CMAKE_BUILD_TYPE MATCHES "^(MinSizeRel|Release)$" AND CMAKE_STRIP)
    get_target_property(output_dir ${target} RUNTIME_OUTPUT_DIRECTORY)
    if(NOT output_dir)
      set(output_dir ${CMAKE_CURRENT_BINARY_DIR})
    endif()
    set(unstripped ${output_dir}/${target}.unstripped${CMAKE_EXECUTABLE_SUFFIX})
    # strip writes the time of its run into a PE header unless SOURCE_DATE_EPOCH names one;
    # the build's fixed date keeps the product reproducible.
    set(epoch 0)
    if(DEFINED VX_SOURCE_DATE_EPOCH)
      set(epoch ${VX_SOURCE_DATE_EPOCH})
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${unstripped}
      COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${epoch}
        ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${target}>
      VERBATIM)
    set_target_properties(${target} PROPERTIES VX_UNSTRIPPED_FILE ${unstripped})
  endif()
  if(MINGW)
    # i686 symbols carry a leading underscore, x86-64 ones do not.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(prefix _)
    else()
      set(prefix "")
    endif()
    target_link_options(${target} PRIVATE
      -Wl,--defsym,${prefix}_ZN9__gnu_cxx27__verbose_terminate_handlerEv=${prefix}abort)
  endif()
  # A deferred call expands its arguments when it runs: pass the name, not the variable.
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL _vx_sections_for_libraries [[${target}]])")
endfunction()

# Adds the section options to every static library of the project that target links.
function(_vx_sections_for_libraries target)
  _vx_project_libraries(${target} libraries)
  foreach(library IN LISTS libraries)
    get_target_property(type ${library} TYPE)
    if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "OBJECT_LIBRARY")
      target_compile_options(${library} PRIVATE ${VX_SIZE_COMPILE_OPTIONS})
      get_target_property(exported ${library} VX_EXPORTED_BY_NAME)
      if(NOT exported)
        target_compile_options(${library} PRIVATE ${VX_LTO_COMPILE_OPTIONS})
      endif()
    endif()
  endforeach()
endfunction()

# The targets of this project that target links, directly or through other libraries, each
# once. Imported targets (zlib, the system's libraries) are not the project's to compile.
function(_vx_project_libraries target out)
  set(seen)
  set(pending ${target})
  while(pending)
    list(POP_FRONT pending current)
    set(links)
    get_target_property(type ${current} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND links ${interface})
    endif()
    foreach(link IN LISTS links)
      if(TARGET ${link} AND NOT link IN_LIST seen)
        get_target_property(imported ${link} IMPORTED)
        if(NOT imported)
          list(APPEND seen ${link})
          list(APPEND pending ${link})
        endif()
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()
