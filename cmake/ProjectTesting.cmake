# ProjectTesting.cmake: project_add_test(NAME SOURCES ... LIBS ...) builds one GoogleTest
# executable, linked with the test doubles (tests/support), and registers its cases with CTest.
# Qt tests run with the offscreen platform.
include(GoogleTest)
function(project_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${T_LIBS} test_support GTest::gmock GTest::gtest_main)
  project_set_warnings(${name})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()
