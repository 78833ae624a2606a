# Program.cmake: link lines of the Tallymoor program (build/bin/tallymoor) and of its window
# module (build/TALLYMOOR_MODULE_DIR/tallymoor-window.so, found from the program's folder as
# ../TALLYMOOR_MODULE_DIR).
set_target_properties(tallymoor_window PROPERTIES
  PREFIX "" OUTPUT_NAME "tallymoor-window" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${TALLYMOOR_MODULE_DIR})
target_link_libraries(tallymoor_window PRIVATE foldersize_program)
# The module exports its entry only; the static libraries inside it stay its own.
target_link_options(tallymoor_window PRIVATE -Wl,--no-undefined -Wl,--exclude-libs,ALL)
project_set_warnings(tallymoor_window)

target_link_libraries(tallymoor PRIVATE foldersize_start ${CMAKE_DL_LIBS})
target_compile_definitions(tallymoor PRIVATE TALLYMOOR_MODULE_DIR="${TALLYMOOR_MODULE_DIR}")
# Only the libraries the windowless scan calls are loaded at start.
target_link_options(tallymoor PRIVATE -Wl,--as-needed)
add_dependencies(tallymoor tallymoor_window)
project_set_warnings(tallymoor)

# Everything linked into the module is built position-independent.
set_target_properties(common foldersize_services foldersize_scanner foldersize_start foldersize_ui_services
  foldersize_ui_scanner foldersize_program PROPERTIES POSITION_INDEPENDENT_CODE ON)
