# ProjectWarnings.cmake: one place that sets the warning flags of every target.
function(project_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow=local -Wno-missing-field-initializers)
endfunction()
