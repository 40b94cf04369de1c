# Fails when the program's import table names a library that is not one of
# Windows' known DLLs (loaded from the system folder alone, on Windows 7 to
# 11): any other library would be searched for beside the program first.
#   cmake -DOBJDUMP=... -DPROGRAM=... -P check_imports.cmake
cmake_minimum_required(VERSION 3.20)

set(known advapi32 comdlg32 gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi ole32 oleaut32
          psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32)

execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}" OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${PROGRAM} failed: ${result}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
if(NOT names)
    message(FATAL_ERROR "no import table found in ${PROGRAM}")
endif()
set(unknown "")
foreach(line IN LISTS names)
    string(REGEX REPLACE "DLL Name: (.+)\\.[dD][lL][lL]$" "\\1" name "${line}")
    string(TOLOWER "${name}" name)
    if(NOT name IN_LIST known)
        list(APPEND unknown "${name}")
    endif()
endforeach()
if(unknown)
    list(JOIN unknown ", " unknown)
    message(FATAL_ERROR "${PROGRAM} imports libraries that Windows may load from beside it: ${unknown}")
endif()
list(LENGTH names count)
message(STATUS "${count} imported libraries, all known DLLs")
