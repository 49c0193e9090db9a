find_package(GTest REQUIRED)
include(GoogleTest)

# tessaro_add_test(NAME source...): one GoogleTest executable of the core, registered with CTest.
function(tessaro_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE tessaro_core GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
      TESSARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      TESSARO_CLI="$<TARGET_FILE:tessaro-cli>")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS core)
endfunction()
