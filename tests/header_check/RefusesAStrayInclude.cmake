# Shows that the build's header check fails on a file that includes <windows.h> itself, and passes
# once the file goes through the wrapper. Writes its files under FOLDER.
#   cmake -DFOLDER=<scratch folder> -DCHECK=<IncludeChecks.cmake> -P RefusesAStrayInclude.cmake
file(REMOVE_RECURSE "${FOLDER}")
file(WRITE "${FOLDER}/app/win32/stray.cpp" "// A new file\n#include <Windows.h>\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${FOLDER} -P ${CHECK} RESULT_VARIABLE refused ERROR_VARIABLE said)
if(refused EQUAL 0 OR NOT said MATCHES "app/win32/stray.cpp")
  message(FATAL_ERROR "the header check let a stray <Windows.h> through: ${said}")
endif()
file(WRITE "${FOLDER}/app/win32/stray.cpp" "#include \"common/win32/win_headers.hpp\"\n#include <commctrl.h>\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${FOLDER} -P ${CHECK} RESULT_VARIABLE passed ERROR_VARIABLE said)
if(NOT passed EQUAL 0)
  message(FATAL_ERROR "the header check refused the wrapper: ${said}")
endif()
message(STATUS "the header check refuses a stray <Windows.h> and takes the wrapper")
