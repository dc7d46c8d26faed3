# Fails the build when a file of the portable core includes a Windows header. Windows code lives
# only in win32/ folders and in the stand-in server.
set(QUARNEL_PORTABLE_DIRS common excel visibility snapshot app standin)

if(CMAKE_SCRIPT_MODE_FILE)
  set(bad "")
  foreach(dir IN LISTS QUARNEL_PORTABLE_DIRS)
    file(GLOB_RECURSE files "${ROOT}/${dir}/*.hpp" "${ROOT}/${dir}/*.cpp" "${ROOT}/${dir}/*.h")
    foreach(f IN LISTS files)
      if(f MATCHES "/win32/" OR f MATCHES "/server/")
        continue()
      endif()
      file(READ "${f}" text)
      string(TOLOWER "${text}" text)
      if(text MATCHES "#[ \t]*include[ \t]*[<\"]([a-z0-9_]*/)?(windows|windef|winbase|winuser|wingdi|winnt|winerror|winreg|winnls|winsock2?|objbase|objidl|ole2|oleauto|oaidl|olectl|unknwn|combaseapi|comdef|comutil|commctrl|commdlg|shlobj|shobjidl|shellapi|shlwapi|wtypes|wrl|wrl/client|atlbase|tchar|dispex|rpc|rpcdce)(\\.h)?[>\"]")
        list(APPEND bad "${f}")
      endif()
    endforeach()
  endforeach()
  if(bad)
    list(JOIN bad "\n  " listing)
    message(FATAL_ERROR "Portable files include a Windows header:\n  ${listing}")
  endif()
  return()
endif()

add_custom_target(portable_check ALL
  COMMAND ${CMAKE_COMMAND} -DROOT=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/PortableCheck.cmake
  COMMENT "Checking that the portable core includes no Windows header"
  VERBATIM)
