# Fails the build when a source breaks either rule on what it includes:
# - the portable core (outside win32/ folders and the stand-in server) includes no Windows header;
# - everywhere else, <windows.h>, <ole2.h> and <oleauto.h> come only through
#   common/win32/win_headers.hpp, which takes away the macros that rename the code's own names
#   (a file that saw windows.h first would call excel::Object::GetObject as GetObjectW), and any
#   other system header comes after the wrapper, or after a header of a Windows room that brings it.
# The planted test DLLs stand for a stranger's files and are kept free of the project's code.
#   cmake -DROOT=<folder> -P IncludeChecks.cmake
if(CMAKE_SCRIPT_MODE_FILE)
  set(windows_header "(windows|windef|winbase|winuser|wingdi|winnt|winerror|winreg|winnls|winsock2?|objbase|objidl|ole2|oleauto|oaidl|olectl|unknwn|combaseapi|comdef|comutil|commctrl|commdlg|shlobj|shobjidl|shellapi|shlwapi|wtypes|wrl|wrl/client|atlbase|tchar|dispex|rpc|rpcdce|cderr|oleacc)")
  set(include "#[ \t]*include[ \t]*[<\"]")
  # Build folders hold thousands of generated and third-party files: walk only the sources.
  file(GLOB tops LIST_DIRECTORIES true RELATIVE "${ROOT}" "${ROOT}/*")
  set(portable "")
  set(unwrapped "")
  set(early "")
  foreach(top IN LISTS tops)
    if(NOT IS_DIRECTORY "${ROOT}/${top}" OR top MATCHES "^(build|\\..*)$")
      continue()
    endif()
    file(GLOB_RECURSE files RELATIVE "${ROOT}" "${ROOT}/${top}/*.hpp" "${ROOT}/${top}/*.cpp" "${ROOT}/${top}/*.h")
    foreach(f IN LISTS files)
      if(f STREQUAL "common/win32/win_headers.hpp" OR f MATCHES "^tests/e2e/planted/")
        continue()
      endif()
      file(READ "${ROOT}/${f}" text)
      string(TOLOWER "${text}" text)
      if(f MATCHES "^(common|excel|visibility|snapshot|app|standin)/" AND NOT f MATCHES "/(win32|server)/"
         AND text MATCHES "${include}([a-z0-9_]*/)?${windows_header}(\\.h)?[>\"]")
        list(APPEND portable "${f}")
      elseif(text MATCHES "${include}(windows|ole2|oleauto)\\.h[>\"]")
        list(APPEND unwrapped "${f}")
      else()
        string(REGEX MATCH "#[ \t]*include[ \t]*<([a-z0-9_]*/)?${windows_header}(\\.h)?>" system "${text}")
        if(system)
          string(FIND "${text}" "${system}" systemAt)
          string(REGEX MATCH "#[ \t]*include[ \t]*\"[a-z0-9_/]*(win32|server)/[a-z0-9_]+\\.hpp\"" wrapped "${text}")
          set(wrappedAt -1)
          if(wrapped)
            string(FIND "${text}" "${wrapped}" wrappedAt)
          endif()
          if(wrappedAt EQUAL -1 OR wrappedAt GREATER systemAt)
            list(APPEND early "${f}")
          endif()
        endif()
      endif()
    endforeach()
  endforeach()
  set(said "")
  if(portable)
    list(JOIN portable "\n  " listing)
    string(APPEND said "Portable files include a Windows header:\n  ${listing}\n")
  endif()
  if(unwrapped)
    list(JOIN unwrapped "\n  " listing)
    string(APPEND said "Include common/win32/win_headers.hpp instead of the Windows headers in:\n  ${listing}\n")
  endif()
  if(early)
    list(JOIN early "\n  " listing)
    string(APPEND said "Include common/win32/win_headers.hpp before any other system header in:\n  ${listing}\n")
  endif()
  if(said)
    message(FATAL_ERROR "${said}")
  endif()
  return()
endif()

add_custom_target(include_checks ALL
  COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/IncludeChecks.cmake
  COMMENT "Checking what the sources include: no Windows header in the portable core, the rest through the wrapper"
  VERBATIM)
