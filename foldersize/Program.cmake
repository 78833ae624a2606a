# Program.cmake: link lines of the Tallymoor program (build/bin/tallymoor).
target_link_libraries(tallymoor PRIVATE foldersize_ui)
project_set_warnings(tallymoor)
