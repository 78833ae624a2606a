# ProjectWarnings.cmake: one place that sets the warning flags of every target.
function(project_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
  # Shadowed locals only: GCC and clang name that warning differently.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wshadow=local)
  else()
    target_compile_options(${target} PRIVATE -Wshadow-uncaptured-local)
  endif()
endfunction()
