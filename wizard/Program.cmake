# Program.cmake: link lines of the kestro program (wizard/main.cpp).
target_link_libraries(kestro PRIVATE wizard_program)
project_set_warnings(kestro)
