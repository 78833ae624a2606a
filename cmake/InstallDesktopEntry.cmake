# InstallDesktopEntry.cmake: writes Tallymoor's desktop entry when installing (run by `cmake
# --install` and by cpack). Installed into a staging folder (DESTDIR, as for the package) the entry
# names the program by its final path; installed in place, it finds the program from its own place
# (%k: the entry's file, ../../bin from its folder, through links), so that the installed tree
# keeps a working menu entry when it is moved as a whole.
if(NOT "$ENV{DESTDIR}" STREQUAL "")
  set(TALLYMOOR_EXEC "\"${CMAKE_INSTALL_PREFIX}/bin/tallymoor\" %F")
else()
  # Desktop-entry rules: every backslash doubled, every % doubled, then the shell's quoting.
  set(TALLYMOOR_EXEC [=[sh -c "f=\\$(readlink -f \\"\\$0\\") && exec \\"\\${f%%/*}/../../bin/tallymoor\\" \\"\\$@\\"" %k %F]=])
endif()
set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/tallymoor.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/../foldersize/install/tallymoor.desktop.in" "${entry}" @ONLY)
