# What `cmake --install` puts in place and what `cpack -G DEB` packs: the two
# programs (man/ adds their manual pages). Tests, benchmarks, fuzz targets
# and the layout tools stay in the build folder.

install(TARGETS launcher htmlrender RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_PACKAGE_NAME launcher)
set(CPACK_PACKAGE_VENDOR "Launcher developers")
set(CPACK_PACKAGE_CONTACT "Launcher developers <launcher@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "setup-wizard launcher for software on removable media")
# (No semicolon in the text: CMake would take it for a list separator.)
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Shows a medium's menu pages (the HTML folder at its root) in one skinned\n"
       "window with hover buttons. Links on the pages open web and mail addresses,\n"
       "start the installers listed on the medium and copy product keys to the\n"
       "clipboard. Also contains htmlrender, which draws or dumps such a page\n"
       "without a window.")
# Shipped binaries carry no debug information.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries the binaries link are found by dpkg-shlibdeps (dpkg-dev);
# what they only use at run time is named here: the faces metric-compatible
# with the pages' fonts, and the opener for web and mail addresses.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, xdg-utils")
# On a Wayland session the launcher is a Wayland client through Qt's
# Wayland plugin; without it Qt falls back to X11 through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")

include(CPack)
