# Install.cmake: what `cmake --install build --prefix P` puts under P, and the Debian package of
# the same (`cpack -G DEB` in the build folder). Laid out as the programs look for their parts:
# Tallymoor's window module in P/TALLYMOOR_MODULE_DIR (../TALLYMOOR_MODULE_DIR from P/bin), the
# wizard's application folder (scripts, registry templates, icons, help) in P/share/kestro
# (../share/kestro from P/bin, where demo-network finds it), the tools beside the programs.

# Installed programs carry no debug information (the build's carry 134 MB of it: 4.9 MB stripped),
# as `cmake --install --strip` would leave them; the build folder keeps the debuggable ones.
install(CODE "set(CMAKE_INSTALL_DO_STRIP TRUE)")
install(TARGETS kestro tallymoor regedit winbatch demo-network RUNTIME DESTINATION bin)
install(TARGETS tallymoor_window LIBRARY DESTINATION ${TALLYMOOR_MODULE_DIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION share/kestro)
install(FILES ${CMAKE_SOURCE_DIR}/foldersize/install/tallymoor.svg
  DESTINATION share/icons/hicolor/scalable/apps)
# The desktop entry depends on where it is installed to, so it is written when installing.
install(SCRIPT ${CMAKE_SOURCE_DIR}/cmake/InstallDesktopEntry.cmake)

# The package's documents: copyright, changelog and a manual page per program, compressed as
# Debian keeps them (gzip -9n: no name or time stamp inside).
set(KESTRO_PACKAGE_CONTACT "Kestro developers <kestro@example.org>" CACHE STRING
  "Maintainer of the Debian package (name and mail address)")
set(package_docs ${CMAKE_BINARY_DIR}/package)
configure_file(${CMAKE_SOURCE_DIR}/cmake/package/changelog.in ${package_docs}/changelog @ONLY)
set(compressed ${package_docs}/changelog.gz)
add_custom_command(OUTPUT ${package_docs}/changelog.gz
  COMMAND gzip -9nfk changelog
  DEPENDS ${package_docs}/changelog WORKING_DIRECTORY ${package_docs} VERBATIM)
set(man_pages kestro tallymoor regedit winbatch demo-network)
foreach(page IN LISTS man_pages)
  add_custom_command(OUTPUT ${package_docs}/${page}.1.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/docs/man/${page}.1 ${page}.1
    COMMAND gzip -9nf ${page}.1
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/${page}.1 WORKING_DIRECTORY ${package_docs} VERBATIM)
  list(APPEND compressed ${package_docs}/${page}.1.gz)
  install(FILES ${package_docs}/${page}.1.gz DESTINATION share/man/man1)
endforeach()
add_custom_target(package_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_SOURCE_DIR}/cmake/package/copyright ${package_docs}/changelog.gz
  DESTINATION share/doc/kestro)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/package/lintian-overrides DESTINATION share/lintian/overrides
  RENAME kestro)

set(CPACK_PACKAGE_NAME "kestro")
set(CPACK_PACKAGE_VENDOR "Kestro")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PC migration wizard (Kestro) and folder-size browser (Tallymoor)")
# The long description, in lines as dpkg shows them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Kestro moves a user's settings, applications and chosen files and folders"
  "from an old PC to a new one, step by step in a wizard. Here it runs on"
  "emulated Windows PCs: folders that hold a PC's drives and registry. The"
  "tools regedit, winbatch and demo-network come with it."
  "."
  "Tallymoor measures the folders of the real file system and shows their"
  "sizes in a tree and their files in a list; it saves or prints the tree."
  "Its texts are German.")
set(CPACK_PACKAGE_CONTACT "${KESTRO_PACKAGE_CONTACT}")
# Installed with DESTDIR under /usr, so that the desktop entry names /usr/bin/tallymoor.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX "/usr")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
# The libraries the programs link come from the binaries (dpkg-shlibdeps, of dpkg-dev). Tallymoor
# runs without the two below but not as described: Qt's own dialogs (folder, save, print, font)
# speak German only with Qt's translations, and web and mail addresses (the update check, the about
# box) open through xdg-open. "Öffnen" finds a file's program through GIO's library, a Depends.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
