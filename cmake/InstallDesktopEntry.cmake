# InstallDesktopEntry.cmake: writes Tallymoor's desktop entry when installing (run by `cmake
# --install` and by cpack). Installed into a staging folder (DESTDIR, as for the package) the entry
# names the program by its final path. Installed in place, it finds the program from its own place
# (%k: the entry's file, ../../bin from its folder, through links), so that the installed tree
# keeps a working menu entry when it is moved as a whole; a launcher that passes no %k (gio launch)
# gets the program where it was installed. Nothing else is ever started: the folders are only
# arguments, and with neither program there the entry says so on standard error.
if(NOT "$ENV{DESTDIR}" STREQUAL "")
  set(TALLYMOOR_EXEC "\"${CMAKE_INSTALL_PREFIX}/bin/tallymoor\" %F")
else()
  # The shell's arguments: "tallymoor" ($0), the entry's file when the launcher gives it, "--",
  # then the folders.
  set(script [=[e=; [ "$1" = -- ] || { e=$1; shift; }; shift; q=; case $e in /*.desktop) f=$(readlink -f -- "$e") && q=${f%/*}/../../bin/tallymoor;; esac; [ -n "$q" ] && [ -x "$q" ] && exec "$q" -- "$@"; p='@BIN@'; [ -x "$p" ] && exec "$p" -- "$@"; echo "tallymoor: Tallymoor ist nicht zu finden (gesucht: ${q:+$q, }$p)" >&2; exit 1]=])
  string(REPLACE "'" "'\\''" bin "${CMAKE_INSTALL_PREFIX}/bin/tallymoor")
  string(REPLACE "@BIN@" "${bin}" script "${script}")
  # Desktop-entry rules: inside the double quotes ", `, $ and \ take a backslash; then the value's
  # escapes double every backslash and every % is doubled.
  string(REPLACE "\\" "\\\\" script "${script}")
  foreach(c "\"" "`" "$")
    string(REPLACE "${c}" "\\${c}" script "${script}")
  endforeach()
  string(REPLACE "\\" "\\\\" script "${script}")
  string(REPLACE "%" "%%" script "${script}")
  set(TALLYMOOR_EXEC "sh -c \"${script}\" tallymoor %k -- %F")
endif()
set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/tallymoor.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/../foldersize/install/tallymoor.desktop.in" "${entry}" @ONLY)
