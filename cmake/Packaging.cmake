# Installation on a Linux desktop and the Debian package.
#
#   cmake --install build --prefix /usr          (DESTDIR=... for a staging root)
#   cd build && cpack -G DEB                       (tesselpad_<version>_<arch>.deb)
#
# Installed: bin/tesselpad (the program), bin/tesselpad-launch (the desktop launcher, which starts
# the program in a folder of the user's own where tspd.ini can be written and help/ is found),
# share/tesselpad/help (the read-me), share/applications/tesselpad.desktop and the icon in the
# hicolor theme.

set(TESSELPAD_HELP_INSTALL_DIR "${CMAKE_INSTALL_DATADIR}/tesselpad/help"
    CACHE STRING "Where the help folder (readme.htm) is installed, relative to the prefix")

# The launcher finds the help folder relative to its own place, so the package can be installed
# under any prefix.
if(IS_ABSOLUTE "${TESSELPAD_HELP_INSTALL_DIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
  set(TESSELPAD_LAUNCH_HELP_DIR "${TESSELPAD_HELP_INSTALL_DIR}")
else()
  file(RELATIVE_PATH TESSELPAD_LAUNCH_HELP_DIR "/prefix/${CMAKE_INSTALL_BINDIR}"
       "/prefix/${TESSELPAD_HELP_INSTALL_DIR}")
endif()
configure_file(packaging/tesselpad-launch.in "${CMAKE_CURRENT_BINARY_DIR}/tesselpad-launch" @ONLY)

install(PROGRAMS "${CMAKE_CURRENT_BINARY_DIR}/tesselpad-launch" DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/tesselpad.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/icons/tesselpad.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 256)
  install(FILES packaging/icons/tesselpad-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tesselpad.png)
endforeach()

# ---- Debian package
set(CPACK_GENERATOR "DEB" CACHE STRING "CPack generators")
# Name and contact as the program states them (platform/Product.h).
tesselpad_product_string(kDesktopName CPACK_PACKAGE_NAME)
tesselpad_product_string(kName CPACK_PACKAGE_VENDOR)
tesselpad_product_string(kContactEmail TESSELPAD_CONTACT_EMAIL)
set(CPACK_PACKAGE_CONTACT "${CPACK_PACKAGE_VENDOR} developers <${TESSELPAD_CONTACT_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "multiple-document text editor for web authors")
set(CPACK_PACKAGE_DESCRIPTION
    "Tesselpad edits HTML, server-side includes, XML, Java, CSS, ASP, ColdFusion, PHP and text files in one multiple-document window, with syntax colouring, HTML insertion commands, search, printing and drag-and-drop. Files are read and written as Windows-1252 text.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "editors")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# The runtime libraries (as dpkg-shlibdeps finds them for a build on Debian 12), the platform
# plugins Qt needs to show a window, and xdg-open for the Help menu's pages.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 5.2), libqt6core6 (>= 6.4.0), libqt6gui6 (>= 6.1.2), libqt6widgets6 (>= 6.3.0), libqt6printsupport6 (>= 6.1.2), libqscintilla2-qt6-15 (>= 2.13.3), libpcre2-8-0 (>= 10.42), qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
