# Installation on a Linux desktop; the Debian package is built from debian/ (dpkg-buildpackage).
#
#   cmake --install build --prefix /usr          (DESTDIR=... for a staging root)
#
# Installed: bin/tesselpad (the program), bin/tesselpad-launch (the desktop launcher, which starts
# the program in a folder of the user's own where tspd.ini can be written and help/ is found),
# share/tesselpad/help (the read-me), share/applications/tesselpad.desktop, the icon in the
# hicolor theme, the AppStream metadata and the two manual pages.

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
install(FILES packaging/example.tesselpad.tesselpad.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/screenshots/checks.png packaging/screenshots/tabs.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tesselpad/screenshots)
install(FILES packaging/icons/tesselpad.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48 256)
  install(FILES packaging/icons/tesselpad-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tesselpad.png)
endforeach()
foreach(page tesselpad tesselpad-launch)
  configure_file(packaging/${page}.1.in "${CMAKE_CURRENT_BINARY_DIR}/${page}.1" @ONLY)
  install(FILES "${CMAKE_CURRENT_BINARY_DIR}/${page}.1" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
