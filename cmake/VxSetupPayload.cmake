# VxSetupPayload.cmake - Packs the eight setup archives and links them into an executable.
#
#   vx_add_setup_payload(<target> [SAMPLE | PAYLOAD <folder or manifest>])
#
# Packs the archives BASE, SETUPBASE, SETUPPICTLITE, PICTLITE, ZVIMAGE, APPBASE, PICTUNINST
# and ZVVERSION with the host's zvpack at build time and links them into <target> (a Windows
# executable) as resources of type ZVArc under those names, language German (1031), through a
# generated resource script compiled by the RC language.
#
# Where the files come from, first match wins:
#   PAYLOAD <folder>    per archive NAME, the zvpack list file <folder>/NAME.list when there
#                       is one (its order is the archive's order), otherwise every file under
#                       <folder>/NAME, sorted by stored name;
#   PAYLOAD <manifest>  a text file with one line "NAME PATH" per archive, PATH (relative to
#                       the manifest) being a folder or a zvpack list file; '#' starts a comment;
#   VX_SETUP_PAYLOAD    the same, from the cache, for calls that give neither SAMPLE nor PAYLOAD;
#   SAMPLE, or nothing  the sample payload, written at build time by
#                       payload/make_sample_payload.py, carrying this build's own next-stage
#                       programs (targets vistart and pidwait) when the build has them and
#                       placeholders otherwise.
# Every archive must be named; an archive may be empty (a folder without files).
#
# The target gets two properties for checks: VX_SETUP_ARCHIVE_DIR (where the archives are
# written) and VX_SETUP_ENTRY_COUNTS (NAME=count for each archive, in resource order). The
# file <build>/setup-payload-targets/<target>.path names the built executable.
#
# The archives are packed at zlib level VX_SETUP_PACK_LEVEL: 0..9, or "best" (zvpack --best,
# the smallest and slowest). The builds of the tree keep 6 for speed; scripts/build-setup.sh
# asks for best unless told otherwise.
#
# Archive entry times come from SOURCE_DATE_EPOCH: VX_SOURCE_DATE_EPOCH, defaulting to the
# environment's SOURCE_DATE_EPOCH at the first configuration, else a fixed date. The target
# itself is linked without a time stamp and compiled with its build paths mapped away (see
# vx_reproducible_target), so the same sources and payload give the same executable.
include_guard(GLOBAL)
include(VxHostTools)

set(VX_SETUP_ARCHIVES BASE SETUPBASE SETUPPICTLITE PICTLITE ZVIMAGE APPBASE PICTUNINST ZVVERSION)
set(VX_SAMPLE_ENTRY_COUNTS 2 43 11 4 1 184 2 1)
set(VX_SAMPLE_PAYLOAD_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../payload/make_sample_payload.py)
cmake_path(NORMAL_PATH VX_SAMPLE_PAYLOAD_SCRIPT)

set(VX_SETUP_PAYLOAD "" CACHE PATH
  "Folder or manifest holding the setup's eight archives (empty: the sample payload)")
set(VX_SETUP_PACK_LEVEL 6 CACHE STRING "zvpack level of the setup archives: 0..9 or best")
if(VX_SETUP_PACK_LEVEL MATCHES "^[0-9]$")
  set(vx_setup_pack_level_arg -${VX_SETUP_PACK_LEVEL})
elseif(VX_SETUP_PACK_LEVEL STREQUAL "best")
  set(vx_setup_pack_level_arg --best)
else()
  message(FATAL_ERROR "VX_SETUP_PACK_LEVEL=${VX_SETUP_PACK_LEVEL} is neither 0..9 nor best")
endif()
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(vx_default_epoch $ENV{SOURCE_DATE_EPOCH})
else()
  # 2001-06-01 00:00 UTC, the time the sample payload's files carry.
  set(vx_default_epoch 991353600)
endif()
set(VX_SOURCE_DATE_EPOCH ${vx_default_epoch} CACHE STRING
  "Seconds since 1970 given to zvpack as SOURCE_DATE_EPOCH (archive entry times)")
if(NOT VX_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "VX_SOURCE_DATE_EPOCH=${VX_SOURCE_DATE_EPOCH} is not a number of seconds")
endif()

# vx_reproducible_target(<target>): no link time stamp, and the source and build folders
# replaced by "." and "build" in file names the compiler writes (debug info, __FILE__).
# Covers the target's own objects; the libraries it links need the same options, which
# vx_reproducible_options(<compile var> <link var>) gives for add_compile_options and
# add_link_options.
function(vx_reproducible_options compile_var link_var)
  # GCC tries the last map first, and the build folder may lie inside the source folder.
  set(${compile_var} -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build
    PARENT_SCOPE)
  set(${link_var} -Wl,--no-insert-timestamp PARENT_SCOPE)
endfunction()

function(vx_reproducible_target target)
  vx_reproducible_options(compile link)
  target_compile_options(${target} PRIVATE ${compile})
  target_link_options(${target} PRIVATE ${link})
endfunction()

# Host files named by a zvpack list file, for DEPENDS; every one must exist.
function(vx_list_file_inputs list_file out_var)
  cmake_path(GET list_file PARENT_PATH base)
  file(STRINGS ${list_file} lines ENCODING UTF-8)
  set(inputs ${list_file})
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "\r$" "" line "${line}")
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    string(FIND "${line}" "\t" tab)
    if(tab EQUAL -1)
      string(REPLACE "\\" "/" host "${line}")
    else()
      math(EXPR after "${tab} + 1")
      string(SUBSTRING "${line}" ${after} -1 host)
    endif()
    cmake_path(ABSOLUTE_PATH host BASE_DIRECTORY ${base} NORMALIZE)
    if(NOT EXISTS ${host} OR IS_DIRECTORY ${host})
      message(FATAL_ERROR "${list_file}: \"${line}\" names ${host}, which is not a file")
    endif()
    list(APPEND inputs ${host})
  endforeach()
  set(${out_var} ${inputs} PARENT_SCOPE)
endfunction()

# vx_archive_source(<NAME> <path> <prefix>): sets <prefix>_MODE (folder or list), <prefix>_PATH,
# <prefix>_INPUTS (files for DEPENDS) and <prefix>_COUNT (entries) for one archive.
function(vx_archive_source name path prefix)
  if(IS_DIRECTORY ${path})
    file(GLOB_RECURSE files CONFIGURE_DEPENDS LIST_DIRECTORIES false ${path}/*)
    set(mode folder)
    set(inputs ${files})
    list(LENGTH files count)
  elseif(EXISTS ${path})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
    vx_list_file_inputs(${path} inputs)
    set(mode list)
    list(LENGTH inputs count)
    math(EXPR count "${count} - 1")
  else()
    message(FATAL_ERROR "setup payload: archive ${name}: ${path} is neither a folder nor a list file")
  endif()
  set(${prefix}_MODE ${mode} PARENT_SCOPE)
  set(${prefix}_PATH ${path} PARENT_SCOPE)
  set(${prefix}_INPUTS ${inputs} PARENT_SCOPE)
  set(${prefix}_COUNT ${count} PARENT_SCOPE)
endfunction()

# vx_payload_paths(<folder or manifest> <prefix>): <prefix>_<NAME> = the folder or list file
# of each archive.
function(vx_payload_paths payload prefix)
  cmake_path(ABSOLUTE_PATH payload NORMALIZE)
  if(IS_DIRECTORY ${payload})
    foreach(name IN LISTS VX_SETUP_ARCHIVES)
      if(EXISTS ${payload}/${name}.list AND NOT IS_DIRECTORY ${payload}/${name}.list)
        set(${prefix}_${name} ${payload}/${name}.list PARENT_SCOPE)
      elseif(IS_DIRECTORY ${payload}/${name})
        set(${prefix}_${name} ${payload}/${name} PARENT_SCOPE)
      else()
        message(FATAL_ERROR "setup payload ${payload}: neither a folder ${name} nor a list file ${name}.list")
      endif()
    endforeach()
    return()
  endif()
  if(NOT EXISTS ${payload})
    message(FATAL_ERROR "setup payload ${payload}: no such folder or manifest")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${payload})
  cmake_path(GET payload PARENT_PATH base)
  file(STRINGS ${payload} lines ENCODING UTF-8)
  set(seen "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    if(NOT line MATCHES "^([A-Za-z]+)[ \t]+(.+)$")
      message(FATAL_ERROR "setup payload ${payload}: \"${line}\" is not \"NAME PATH\"")
    endif()
    string(TOUPPER "${CMAKE_MATCH_1}" name)
    set(path "${CMAKE_MATCH_2}")
    if(NOT name IN_LIST VX_SETUP_ARCHIVES)
      message(FATAL_ERROR "setup payload ${payload}: ${name} is not one of ${VX_SETUP_ARCHIVES}")
    endif()
    if(name IN_LIST seen)
      message(FATAL_ERROR "setup payload ${payload}: ${name} is named twice")
    endif()
    list(APPEND seen ${name})
    cmake_path(ABSOLUTE_PATH path BASE_DIRECTORY ${base} NORMALIZE)
    set(${prefix}_${name} ${path} PARENT_SCOPE)
  endforeach()
  foreach(name IN LISTS VX_SETUP_ARCHIVES)
    if(NOT name IN_LIST seen)
      message(FATAL_ERROR "setup payload ${payload}: no line for ${name}")
    endif()
  endforeach()
endfunction()

# The sample payload, written at build time into <dir>; sets <prefix>_* as vx_archive_source.
function(vx_sample_payload dir prefix)
  find_package(Python3 COMPONENTS Interpreter REQUIRED)
  set(lists "")
  foreach(name IN LISTS VX_SETUP_ARCHIVES)
    list(APPEND lists ${dir}/${name}.list)
  endforeach()
  cmake_path(GET VX_SAMPLE_PAYLOAD_SCRIPT PARENT_PATH script_dir)
  # The next-stage programs are looked for once every directory has been read, so the
  # targets may be defined after this call.
  set(vistart_args "$<$<TARGET_EXISTS:vistart>:--vistart;$<TARGET_FILE:vistart>>")
  set(pidwait_args "$<$<TARGET_EXISTS:pidwait>:--pidwait;$<TARGET_FILE:pidwait>>")
  add_custom_command(OUTPUT ${lists}
    COMMAND ${Python3_EXECUTABLE} ${VX_SAMPLE_PAYLOAD_SCRIPT} --out ${dir} "${vistart_args}" "${pidwait_args}"
    DEPENDS ${VX_SAMPLE_PAYLOAD_SCRIPT} ${script_dir}/sample_content.py
      # The programs' files, so that a rebuilt program is packed again (a target name inside a
      # generator expression would only order the builds).
      "$<$<TARGET_EXISTS:vistart>:$<TARGET_FILE:vistart>>" "$<$<TARGET_EXISTS:pidwait>:$<TARGET_FILE:pidwait>>"
    COMMENT "Writing the sample setup payload"
    COMMAND_EXPAND_LISTS VERBATIM)
  foreach(name count IN ZIP_LISTS VX_SETUP_ARCHIVES VX_SAMPLE_ENTRY_COUNTS)
    set(${prefix}_${name}_MODE list PARENT_SCOPE)
    set(${prefix}_${name}_PATH ${dir}/${name}.list PARENT_SCOPE)
    # The generator gives every file a fixed time, so a rebuilt next-stage program would not
    # look newer than the archive it goes into: the archive names the programs themselves.
    set(inputs ${dir}/${name}.list)
    if(name STREQUAL "SETUPBASE")
      list(APPEND inputs "$<$<TARGET_EXISTS:vistart>:$<TARGET_FILE:vistart>>"
        "$<$<TARGET_EXISTS:pidwait>:$<TARGET_FILE:pidwait>>")
    endif()
    set(${prefix}_${name}_INPUTS "${inputs}" PARENT_SCOPE)
    set(${prefix}_${name}_COUNT ${count} PARENT_SCOPE)
  endforeach()
endfunction()

function(vx_pack_archive name mode path inputs archive)
  vx_host_zvpack(zvpack zvpack_depends)
  if(mode STREQUAL "list")
    set(sources --list ${path})
  else()
    set(sources ${path})
  endif()
  add_custom_command(OUTPUT ${archive}
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${VX_SOURCE_DATE_EPOCH}
      ${zvpack} create --quiet ${vx_setup_pack_level_arg} ${archive} ${sources}
    DEPENDS ${zvpack_depends} ${inputs}
    COMMENT "Packing setup archive ${name}"
    VERBATIM)
endfunction()

# vx_check_payload(<payload> <stamp> <prefix>): zvpack's own payload checks (SETUPBASE's
# next-stage programs, the size limit), the ones "zvpack setup" makes, at build time; the
# stamp joins every <prefix>_<NAME>_INPUTS, so that no archive is packed before them.
function(vx_check_payload payload stamp prefix)
  vx_host_zvpack(zvpack zvpack_depends)
  set(inputs "")
  foreach(name IN LISTS VX_SETUP_ARCHIVES)
    list(APPEND inputs ${${prefix}_${name}_INPUTS})
  endforeach()
  cmake_path(ABSOLUTE_PATH payload NORMALIZE)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${zvpack} setup --check --payload ${payload}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${zvpack_depends} ${inputs}
    COMMENT "Checking the setup payload"
    VERBATIM)
  foreach(name IN LISTS VX_SETUP_ARCHIVES)
    set(${prefix}_${name}_INPUTS ${${prefix}_${name}_INPUTS} ${stamp} PARENT_SCOPE)
  endforeach()
endfunction()

function(vx_write_resource_script script archive_dir)
  set(text "// Generated: the setup archives, packed at build time.\n")
  string(APPEND text "LANGUAGE 7, 1\n")  # German (Germany), 1031
  foreach(name IN LISTS VX_SETUP_ARCHIVES)
    # An unquoted type: windres reads a quoted one as a file name. Names are stored upper case.
    string(APPEND text "${name} ZVArc \"${archive_dir}/${name}.zva\"\n")
  endforeach()
  file(GENERATE OUTPUT ${script} CONTENT "${text}")
endfunction()

function(vx_add_setup_payload target)
  cmake_parse_arguments(ARG "SAMPLE" "PAYLOAD" "" ${ARGN})
  if(NOT WIN32)
    message(FATAL_ERROR "vx_add_setup_payload(${target}): the archives are Windows resources; call it in the Windows builds")
  endif()
  if(ARG_SAMPLE AND ARG_PAYLOAD)
    message(FATAL_ERROR "vx_add_setup_payload(${target}): SAMPLE and PAYLOAD exclude each other")
  endif()
  set(payload "${ARG_PAYLOAD}")
  if(NOT ARG_SAMPLE AND payload STREQUAL "")
    set(payload "${VX_SETUP_PAYLOAD}")
  endif()

  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}-payload)
  if(payload STREQUAL "")
    vx_sample_payload(${out}/sample src)
  else()
    vx_payload_paths("${payload}" path)
    foreach(name IN LISTS VX_SETUP_ARCHIVES)
      vx_archive_source(${name} ${path_${name}} src_${name})
    endforeach()
  endif()

  set(archives "")
  set(counts "")
  if(NOT payload STREQUAL "")
    vx_check_payload("${payload}" ${out}/payload-checked src)
  endif()
  foreach(name IN LISTS VX_SETUP_ARCHIVES)
    set(archive ${out}/${name}.zva)
    vx_pack_archive(${name} ${src_${name}_MODE} ${src_${name}_PATH} "${src_${name}_INPUTS}" ${archive})
    list(APPEND archives ${archive})
    list(APPEND counts ${name}=${src_${name}_COUNT})
  endforeach()

  set(script ${out}/setup_payload.rc)
  vx_write_resource_script(${script} ${out})
  target_sources(${target} PRIVATE ${script})
  # windres reads the archives without telling the build; name them so that a repacked
  # archive relinks the executable.
  set_source_files_properties(${script} PROPERTIES GENERATED TRUE OBJECT_DEPENDS "${archives}")
  add_custom_target(${target}_archives DEPENDS ${archives})
  add_dependencies(${target} ${target}_archives)
  vx_reproducible_target(${target})

  set_target_properties(${target} PROPERTIES VX_SETUP_ARCHIVE_DIR ${out} VX_SETUP_ENTRY_COUNTS "${counts}")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/setup-payload-targets/${target}.path CONTENT "$<TARGET_FILE:${target}>\n")
endfunction()
