# Windows (mingw-w64) build settings, included by the top-level CMakeLists.txt.

# Resource scripts (.rc) are compiled by windres.
enable_language(RC)

# Boost is header-only here. The mingw compiler must never see /usr/include
# (glibc's headers would shadow its own), so it gets a folder that holds
# nothing but a link to the boost headers, and FindBoost is pointed there.
set(GLYPHORIA_BOOST_INCLUDE ${CMAKE_BINARY_DIR}/mingw-include)
if(NOT EXISTS ${GLYPHORIA_BOOST_INCLUDE}/boost)
  file(MAKE_DIRECTORY ${GLYPHORIA_BOOST_INCLUDE})
  file(CREATE_LINK /usr/include/boost ${GLYPHORIA_BOOST_INCLUDE}/boost SYMBOLIC)
endif()
set(Boost_INCLUDE_DIR ${GLYPHORIA_BOOST_INCLUDE} CACHE PATH "Boost headers for the cross build")
set(Boost_NO_BOOST_CMAKE ON)

# GoogleTest is built from Debian's sources with the same toolchain; the
# tests' find_package(GTest) then finds these targets.
set(GLYPHORIA_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
