# Shared build rules: warnings, sanitizers, libraries, tests and embedded
# resources. Every target of the project goes through these functions so the
# flags stay the same everywhere.

function(glyphoria_target_defaults target)
  # generated/: headers CMake writes from the sources (support/version.h).
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
  endif()
  if(GLYPHORIA_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
  if(GLYPHORIA_FUZZ)
    # Coverage for the fuzzer everywhere; only the fuzz targets link its main.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                                             -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()

# glyphoria_add_library(NAME [STATIC|SHARED|MODULE] SOURCES ... LIBS ...)
function(glyphoria_add_library name)
  cmake_parse_arguments(ARG "STATIC;SHARED;MODULE" "" "SOURCES;LIBS" ${ARGN})
  set(kind STATIC)
  if(ARG_SHARED)
    set(kind SHARED)
  elseif(ARG_MODULE)
    set(kind MODULE)
  endif()
  add_library(${name} ${kind} ${ARG_SOURCES})
  glyphoria_target_defaults(${name})
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

# glyphoria_add_executable(NAME SOURCES ... LIBS ...)
function(glyphoria_add_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  glyphoria_target_defaults(${name})
  if(ARG_LIBS)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  endif()
endfunction()

# glyphoria_add_gtest(NAME LABELS l1 [l2] SOURCES ... LIBS ...
#                     [POSIX_ONLY Suite.Case ...])
# One GoogleTest program; each test case becomes a CTest test carrying the
# labels. Discovery runs before the tests (not at build time), so cross builds
# discover through the emulator too. POSIX_ONLY names cases that test POSIX
# behaviour only; the Windows build leaves them out (say why where they are
# listed).
function(glyphoria_add_gtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS;POSIX_ONLY" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  glyphoria_target_defaults(${name})
  target_link_libraries(${name} PRIVATE glyphoria_test_common ${ARG_LIBS} GTest::gtest GTest::gmock)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set(filter "")
  if(WIN32 AND ARG_POSIX_ONLY)
    list(JOIN ARG_POSIX_ONLY ":" excluded)
    set(filter TEST_FILTER "-${excluded}")
  endif()
  gtest_discover_tests(${name}
    ${filter}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  # gtest_discover_tests flattens its PROPERTIES into one list, so a label
  # list ("platform;support") would come apart. The labels are set by a file
  # that CTest reads after the discovered tests, over their list instead.
  # Tests that show windows bring GTK and the web engine into the process
  # (tests/common/lsan_gui.supp says why each option and entry is there).
  set(environment "")
  if("gui" IN_LIST ARG_LABELS)
    set(environment " ENVIRONMENT \"LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/common/lsan_gui.supp:fast_unwind_on_malloc=0:intercept_tls_get_addr=0\"")
  endif()
  set(labels_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
  file(WRITE ${labels_file}
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${ARG_LABELS}\"${environment})\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labels_file})
endfunction()

# glyphoria_embed_resources(TARGET name [OBJECT] ENTRIES "NAME|TYPE|LANG|file" ...)
# Compiles files into a static library as a table of module resources
# (name, type, language), which the platform's resource lookup searches the
# way a resource loader searches a module's resource section. OBJECT makes
# an object library instead: linked into a program, its table stands in for
# the module's own (a test with resources of its own choosing).
function(glyphoria_embed_resources target)
  cmake_parse_arguments(ARG "OBJECT" "" "ENTRIES" ${ARGN})
  set(gen_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_gen)
  set(sources "")
  set(decls "")
  set(rows "")
  set(index 0)
  foreach(entry IN LISTS ARG_ENTRIES)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 res_name)
    list(GET parts 1 res_type)
    list(GET parts 2 res_lang)
    list(GET parts 3 res_file)
    get_filename_component(res_file ${res_file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    set(symbol "glyphoria_resource_${index}")
    set(out ${gen_dir}/${symbol}.cpp)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${res_file} -DOUTPUT=${out} -DSYMBOL=${symbol}
              -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
      DEPENDS ${res_file} ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
      COMMENT "Embedding ${res_name} (${res_type}, ${res_lang})"
      VERBATIM)
    list(APPEND sources ${out})
    string(APPEND decls "extern const unsigned char ${symbol}[];\nextern const std::size_t ${symbol}_size;\n")
    string(APPEND rows "    {\"${res_name}\", \"${res_type}\", ${res_lang}, ${symbol}, &${symbol}_size},\n")
    math(EXPR index "${index} + 1")
  endforeach()
  set(table ${gen_dir}/${target}_table.cpp)
  file(WRITE ${table}.in
    "// Generated by glyphoria_embed_resources; do not edit.\n"
    "#include <cstddef>\n#include \"platform/resources.h\"\n\n"
    "${decls}\n"
    "namespace glyphoria::platform {\n"
    "namespace {\nconst EmbeddedResourceRow kRows[] = {\n${rows}};\n}  // namespace\n\n"
    "const EmbeddedResourceRow* EmbeddedResourceTable(std::size_t* count) {\n"
    "    *count = sizeof(kRows) / sizeof(kRows[0]);\n    return kRows;\n}\n"
    "}  // namespace glyphoria::platform\n")
  configure_file(${table}.in ${table} COPYONLY)
  if(ARG_OBJECT)
    add_library(${target} OBJECT ${sources} ${table})
  else()
    add_library(${target} STATIC ${sources} ${table})
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
