# Install rules and the package, included at the end of the top-level
# CMakeLists.txt once every target exists.
#
# Windows: the package is what a user drops into the host's plug-ins folder,
# the module Glyphoria.pln and a short install note, zipped as
# Glyphoria-<version>-windows-x64.zip by the "package" target. The module
# links its runtime statically, so nothing else goes beside it; the
# web-window library it loads (Glyphoria.dll) is the library vendor's, and
# the one built here is a test stand-in that must never ship, like the host
# stand-in and the shop.
#
# Linux: `cmake --install build/linux --prefix DIR` puts the glyphoria tool,
# the host stand-in (program, SDK library, window module) and the shop under
# DIR, for demos and manual checks; no package is made.
include(GNUInstallDirs)

if(WIN32)
  install(TARGETS glyphoria_module LIBRARY DESTINATION . RUNTIME DESTINATION .)
  configure_file(${PROJECT_SOURCE_DIR}/package/INSTALL-windows.txt.in
                 ${PROJECT_BINARY_DIR}/package/INSTALL.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/package/INSTALL.txt DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
  set(CPACK_PACKAGE_VENDOR "Kestrelworks")
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-windows-x64")
  # The archive unpacks into one folder named like itself.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
  # The build keeps its debug information; the user's copy does not need it.
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  return()
endif()

set(_glyphoria_installed glyphoria glyphoria-host hostsdk glyphoria-shop)
foreach(target IN LISTS _glyphoria_installed)
  if(NOT TARGET ${target})
    message(FATAL_ERROR "install rules: target ${target} is missing")
  endif()
endforeach()
# The programs find the SDK library in the prefix's lib folder, wherever the
# prefix is.
set_target_properties(glyphoria glyphoria-host PROPERTIES
  INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
install(TARGETS glyphoria glyphoria-host glyphoria-shop RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS hostsdk LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
if(TARGET glyphoria-host-window)
  # The host program loads its window module from its own folder.
  set_target_properties(glyphoria-host-window PROPERTIES
    INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  install(TARGETS glyphoria-host-window LIBRARY DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
