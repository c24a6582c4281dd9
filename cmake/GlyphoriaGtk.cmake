# GTK 3 and WebKitGTK 4.1: the real window system and web engine of the
# screen forms (the web-window library over a real engine, the host's layout
# window, the Mac seam over GTK). Native POSIX builds only; the headless forms
# stay the fast path and are built whatever this finds.
#
# Gives GLYPHORIA_GUI (ON when both are found and not switched off) and the
# imported targets PkgConfig::GLYPHORIA_GTK3 and PkgConfig::GLYPHORIA_WEBKIT.
option(GLYPHORIA_WITH_GUI "Build the GTK/WebKitGTK screen forms when the libraries are present" ON)
set(GLYPHORIA_GUI OFF)
if(GLYPHORIA_WITH_GUI AND NOT WIN32 AND NOT GLYPHORIA_FUZZ)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(GLYPHORIA_GTK3 IMPORTED_TARGET gtk+-3.0)
  pkg_check_modules(GLYPHORIA_WEBKIT IMPORTED_TARGET webkit2gtk-4.1)
  if(GLYPHORIA_GTK3_FOUND AND GLYPHORIA_WEBKIT_FOUND)
    set(GLYPHORIA_GUI ON)
  else()
    message(STATUS "GTK 3 or WebKitGTK 4.1 not found: the screen forms are left out (scripts/bootstrap installs them)")
  endif()
endif()
