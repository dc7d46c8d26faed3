# Fails the build when a file includes <windows.h>, <ole2.h> or <oleauto.h> itself rather than
# through common/win32/win_headers.hpp, which takes away the macros that rename the code's own
# names: a file that saw windows.h first would call excel::Object::GetObject as GetObjectW. The
# planted test DLLs stand for a stranger's files and are kept free of the project's code.
#   cmake -DROOT=<folder> -P WindowsHeaderCheck.cmake
if(CMAKE_SCRIPT_MODE_FILE)
  # Build folders hold thousands of generated and third-party files: walk only the sources.
  file(GLOB tops LIST_DIRECTORIES true RELATIVE "${ROOT}" "${ROOT}/*")
  set(files "")
  foreach(top IN LISTS tops)
    if(IS_DIRECTORY "${ROOT}/${top}" AND NOT top MATCHES "^(build|\\..*)$")
      file(GLOB_RECURSE found "${ROOT}/${top}/*.hpp" "${ROOT}/${top}/*.cpp" "${ROOT}/${top}/*.h")
      list(APPEND files ${found})
    endif()
  endforeach()
  set(bad "")
  foreach(f IN LISTS files)
    file(RELATIVE_PATH relative "${ROOT}" "${f}")
    if(relative STREQUAL "common/win32/win_headers.hpp" OR relative MATCHES "^tests/e2e/planted/")
      continue()
    endif()
    file(READ "${f}" text)
    string(TOLOWER "${text}" text)
    if(text MATCHES "#[ \t]*include[ \t]*[<\"](windows|ole2|oleauto)\\.h[>\"]")
      list(APPEND bad "${relative}")
    endif()
  endforeach()
  if(bad)
    list(JOIN bad "\n  " listing)
    message(FATAL_ERROR "Include common/win32/win_headers.hpp instead of the Windows headers in:\n  ${listing}")
  endif()
  message(STATUS "Every Windows header comes through common/win32/win_headers.hpp")
  return()
endif()

add_custom_target(windows_header_check ALL
  COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/WindowsHeaderCheck.cmake
  COMMENT "Checking that every Windows header comes through common/win32/win_headers.hpp"
  VERBATIM)
