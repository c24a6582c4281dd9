# Makes the Windows package from the build (as the "package" target does),
# unpacks it and checks: its name carries the version, it holds the module
# and the install note and nothing else (no web-window stand-in, no host
# stand-in, no tests), and the module is a 64-bit DLL that exports the two
# entries the host calls and imports only system DLLs and the host's SDK.
# -DBINARY_DIR= -DCPACK= -DOBJDUMP= -DWORK=
cmake_minimum_required(VERSION 3.25)
set(name Glyphoria-1.28-windows-x64)

function(fail)
  message(FATAL_ERROR "package: ${ARGN}")
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/unpacked)
execute_process(COMMAND ${CPACK} --config ${BINARY_DIR}/CPackConfig.cmake -B ${WORK}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  fail("cpack failed (${status}):\n${out}")
endif()
if(NOT EXISTS ${WORK}/${name}.zip)
  file(GLOB made ${WORK}/*.zip)
  fail("no ${name}.zip; cpack made: ${made}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${WORK}/${name}.zip
                WORKING_DIRECTORY ${WORK}/unpacked RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  fail("the archive does not unpack")
endif()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${WORK}/unpacked ${WORK}/unpacked/*)
list(SORT files)
set(expected "${name}/Glyphoria.pln;${name}/INSTALL.txt")
if(NOT files STREQUAL expected)
  fail("contents\n  expected: ${expected}\n  found:    ${files}")
endif()

set(folder ${WORK}/unpacked/${name})
file(READ ${folder}/INSTALL.txt note)
foreach(text "Glyphoria.pln" "Glyphoria.dll")
  string(FIND "${note}" "${text}" at)
  if(at EQUAL -1)
    fail("INSTALL.txt lacks \"${text}\"")
  endif()
endforeach()
# Read as bytes: a text read drops the carriage returns Notepad needs.
file(READ ${folder}/INSTALL.txt bytes HEX)
string(HEX "Glyphoria 1.28 for Windows (64-bit)\r\n" first_line)
string(FIND "${bytes}" "${first_line}" at)
if(NOT at EQUAL 0)
  fail("INSTALL.txt does not start with \"Glyphoria 1.28 for Windows (64-bit)\" and a CR LF")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${folder}/Glyphoria.pln
                RESULT_VARIABLE status OUTPUT_VARIABLE dump ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  fail("objdump: ${err}")
endif()
string(FIND "${dump}" "file format pei-x86-64" at)
if(at EQUAL -1)
  fail("Glyphoria.pln is not a 64-bit PE file")
endif()
string(FIND "${dump}" "\n\tDLL\n" at)
if(at EQUAL -1)
  fail("Glyphoria.pln is not a DLL")
endif()

# Exports: the rows of the name table, "[   0] GetPlugIn".
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n)+)" table "${dump}")
string(REGEX MATCHALL "\\] [A-Za-z_0-9@]+" rows "${CMAKE_MATCH_1}")
list(TRANSFORM rows REPLACE "\\] " "")
list(SORT rows)
if(NOT rows STREQUAL "GetPlugIn;GetPlugInResources")
  fail("exports: expected GetPlugIn;GetPlugInResources, found '${rows}'")
endif()

# Imports: Windows' own DLLs and the host's SDK only; a runtime DLL of the
# compiler here would be missing on the user's machine.
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
list(TRANSFORM imports REPLACE "^DLL Name: " "")
list(TRANSFORM imports TOLOWER)
set(allowed advapi32.dll comctl32.dll crypt32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
            shell32.dll user32.dll wininet.dll hostsdk.dll)
list(FIND imports hostsdk.dll at)
if(at EQUAL -1)
  fail("the module does not import the host's SDK (hostsdk.dll): ${imports}")
endif()
foreach(dll IN LISTS imports)
  if(NOT dll IN_LIST allowed)
    fail("the module imports ${dll}, which a user's machine need not have")
  endif()
endforeach()
message(STATUS "${name}.zip: ${files}; exports ${rows}; imports ${imports}")
