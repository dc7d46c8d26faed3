# Reads a Windows program's PE header and import table with objdump and fails when it imports a DLL
# that Windows does not pin (a KnownDLL, or the side-by-side common controls), or when it lacks
# high-entropy ASLR, a relocatable base, DEP or the GUI subsystem. A DLL outside the pinned set is
# looked for in the program's folder first, where a downloaded file may be waiting.
#   cmake -DEXE=<program> -DOBJDUMP=<objdump> -P ExeCheck.cmake
cmake_minimum_required(VERSION 3.25)
set(pinned comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll user32.dll)
set(flags HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT)

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE header RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed")
endif()

set(problems "")
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${header}")
if(NOT imports)
  list(APPEND problems "no import table found")
endif()
foreach(line IN LISTS imports)
  string(REGEX REPLACE "DLL Name: ([^\r\n]+)" "\\1" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" folded)
  if(NOT folded IN_LIST pinned)
    list(APPEND problems "imports ${dll}, which Windows does not pin")
  endif()
endforeach()

string(REGEX MATCH "DllCharacteristics[ \t]+[0-9a-fA-F]+((\n[ \t]+[A-Z_]+)*)" characteristics "${header}")
foreach(flag IN LISTS flags)
  if(NOT characteristics MATCHES "[ \t]${flag}(\n|$)")
    list(APPEND problems "lacks ${flag}")
  endif()
endforeach()
if(NOT header MATCHES "Subsystem[ \t]+0+2[ \t]+\\(Windows GUI\\)")
  list(APPEND problems "is not a Windows GUI program")
endif()

if(problems)
  list(JOIN problems "\n  " listing)
  message(FATAL_ERROR "${EXE}:\n  ${listing}")
endif()
list(TRANSFORM imports REPLACE "DLL Name: " "")
list(JOIN imports " " listing)
list(JOIN flags " " flagListing)
message(STATUS "${EXE}: imports ${listing}; ${flagListing}; Windows GUI")
