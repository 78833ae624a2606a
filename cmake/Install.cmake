# Install.cmake: what `cmake --install build --prefix P` puts under P, and the Debian package of
# the same (`cpack -G DEB` in the build folder). Laid out as the programs look for their parts:
# Tallymoor's window module in P/lib (../lib from P/bin), the wizard's application folder (scripts,
# registry templates, icons, help) in P/share/kestro (../share/kestro from P/bin, where
# demo-network finds it), the tools beside the programs.
install(TARGETS kestro tallymoor regedit winbatch demo-network RUNTIME DESTINATION bin)
install(TARGETS tallymoor_window LIBRARY DESTINATION lib)
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION share/kestro)
install(FILES ${CMAKE_SOURCE_DIR}/foldersize/install/tallymoor.svg
  DESTINATION share/icons/hicolor/scalable/apps)
# The desktop entry names the installed program, so it is written when installing (the prefix is
# known only then).
install(CODE "
  set(TALLYMOOR_EXECUTABLE \"\${CMAKE_INSTALL_PREFIX}/bin/tallymoor\")
  configure_file(\"${CMAKE_SOURCE_DIR}/foldersize/install/tallymoor.desktop.in\"
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/tallymoor.desktop\" @ONLY)
  message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/tallymoor.desktop\")
")

set(CPACK_PACKAGE_NAME "kestro")
set(CPACK_PACKAGE_VENDOR "Kestro")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PC migration wizard (Kestro) and folder-size browser (Tallymoor)")
set(CPACK_PACKAGE_CONTACT "Kestro <kestro@localhost>")
# Installed with DESTDIR under /usr, so that the desktop entry names /usr/bin/tallymoor.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX "/usr")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
