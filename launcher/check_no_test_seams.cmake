# cmake -DMAP=<link map> -P check_no_test_seams.cmake: fails when the program's link map names
# the tests' platform library or any of its calls: the shipped launcher carries no test hook.
if(NOT EXISTS "${MAP}")
  message(FATAL_ERROR "no link map ${MAP}")
endif()
file(READ "${MAP}" map)
foreach(pattern "vx_platform_testing" "ForTesting" "FileFaults" "FailAllocation"
    "AllocationFault" "testing_internal" "Real(File|MakeDir|ChangeDir|HeapAllocate|StartProgram)")
  string(REGEX MATCH "[^\n]*${pattern}[^\n]*" found "${map}")
  if(found)
    message(FATAL_ERROR "${MAP} names test code: ${found}")
  endif()
endforeach()
string(FIND "${map}" "vx_platform_system" system)
if(system EQUAL -1)
  message(FATAL_ERROR "${MAP} does not name the real platform library at all")
endif()
message(STATUS "${MAP}: the real platform calls alone")
