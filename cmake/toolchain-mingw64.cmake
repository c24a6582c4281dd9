# Cross build for 64-bit Windows with Debian's mingw-w64 compilers; the
# results run under Wine through scripts/wine-run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GLYPHORIA_MINGW_TRIPLE x86_64-w64-mingw32)

# The -posix compilers: GoogleTest needs std::mutex, which the win32 thread
# model of Debian's default alternative lacks.
set(CMAKE_C_COMPILER   ${GLYPHORIA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GLYPHORIA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${GLYPHORIA_MINGW_TRIPLE}-windres)

# Headers and libraries come from the mingw tree only, never from /usr/include:
# the host's glibc headers would be picked up silently and break the build.
set(CMAKE_FIND_ROOT_PATH /usr/${GLYPHORIA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The GCC runtime (libgcc, libstdc++, winpthread) linked in, so the programs
# and the module need nothing but system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# add_test, gtest_discover_tests and try_run start the programs through Wine.
get_filename_component(_glyphoria_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
# One Wine prefix per build tree, made on the first run.
set(CMAKE_CROSSCOMPILING_EMULATOR "${_glyphoria_root}/scripts/wine-run;--prefix;${CMAKE_BINARY_DIR}/wine-prefix")
