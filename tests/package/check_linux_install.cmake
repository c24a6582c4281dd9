# Installs the build under a fresh prefix and checks what lands there: the
# tool, the host stand-in and the shop, and nothing of the plug-in's test
# stand-ins; the installed programs run from the prefix (their SDK library is
# found beside them, not in the build tree).
# -DBINARY_DIR= -DWITH_WINDOW=ON|OFF -DWORK=
cmake_minimum_required(VERSION 3.25)

function(fail)
  message(FATAL_ERROR "install: ${ARGN}")
endfunction()

file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${WORK}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  fail("cmake --install failed (${status}):\n${out}")
endif()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${WORK} ${WORK}/*)
list(SORT files)
set(expected bin/glyphoria bin/glyphoria-host bin/glyphoria-shop lib/libhostsdk.so)
if(WITH_WINDOW)
  list(APPEND expected bin/glyphoria-host-window.so)
endif()
list(SORT expected)
if(NOT files STREQUAL expected)
  fail("contents\n  expected: ${expected}\n  found:    ${files}")
endif()

# The build tree is still there while this runs, so a program whose run path
# named it would start anyway; the run path itself is checked.
foreach(program glyphoria glyphoria-host)
  execute_process(COMMAND readelf -d ${WORK}/bin/${program} OUTPUT_VARIABLE dynamic)
  string(FIND "${dynamic}" "${BINARY_DIR}" at)
  if(NOT at EQUAL -1)
    fail("${program} still looks for libraries in the build tree")
  endif()
endforeach()

execute_process(COMMAND ${WORK}/bin/glyphoria --version
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out STREQUAL "glyphoria 1.28\n")
  fail("glyphoria --version: status ${status}, output '${out}' ${err}")
endif()
execute_process(COMMAND ${WORK}/bin/glyphoria-host --help
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  fail("glyphoria-host --help: status ${status} ${err}")
endif()
if(WITH_WINDOW)
  # The window module's own verbs are listed only when it loaded from beside
  # the program (no display needed for the list).
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY ${WORK}/bin/glyphoria-host --window --help
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(FIND "${out}" "resize WIDTH HEIGHT" at)
  if(NOT status EQUAL 0 OR at EQUAL -1)
    fail("glyphoria-host --window --help: status ${status}, no window verbs: ${out} ${err}")
  endif()
endif()
