# Fails the build when a source breaks either rule on what it includes:
# - the portable core (outside win32/ folders and the stand-in server) includes no Windows header;
# - everywhere else, <windows.h>, <ole2.h> and <oleauto.h> come only through
#   common/win32/win_headers.hpp, which takes away the macros that rename the code's own names
#   (a file that saw windows.h first would call excel::Object::GetObject as GetObjectW).
# The planted test DLLs stand for a stranger's files and are kept free of the project's code.
#   cmake -DROOT=<folder> -P IncludeChecks.cmake
if(CMAKE_SCRIPT_MODE_FILE)
  set(windows_header "(windows|windef|winbase|winuser|wingdi|winnt|winerror|winreg|winnls|winsock2?|objbase|objidl|ole2|oleauto|oaidl|olectl|unknwn|combaseapi|comdef|comutil|commctrl|commdlg|shlobj|shobjidl|shellapi|shlwapi|wtypes|wrl|wrl/client|atlbase|tchar|dispex|rpc|rpcdce)")
  set(include "#[ \t]*include[ \t]*[<\"]")
  # Build folders hold thousands of generated and third-party files: walk only the sources.
  file(GLOB tops LIST_DIRECTORIES true RELATIVE "${ROOT}" "${ROOT}/*")
  set(portable "")
  set(unwrapped "")
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
  if(said)
    message(FATAL_ERROR "${said}")
  endif()
  return()
endif()

add_custom_target(include_checks ALL
  COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/IncludeChecks.cmake
  COMMENT "Checking what the sources include: no Windows header in the portable core, the rest through the wrapper"
  VERBATIM)
