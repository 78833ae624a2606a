# Program.cmake: link lines of the kestro program (wizard/main.cpp).
target_link_libraries(kestro PRIVATE wizard_connection wizard_selection wizard_migration_pages wizard_pages wizard_ui wizard_transfer platform_qt platform Qt6::Widgets)
project_set_warnings(kestro)
