find_package(GTest REQUIRED)
include(GoogleTest)

# tessaro_add_test(NAME source...): one GoogleTest executable of the core, registered with CTest.
function(tessaro_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE tessaro_headless tessaro_test_support GTest::gtest
                                        GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
      TESSARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      TESSARO_CLI="$<TARGET_FILE:tessaro-cli>")
  # Labelled by subsystem (the test folder), so that `ctest -L machine` runs one of them.
  get_filename_component(subsystem ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${subsystem})
endfunction()

# tessaro_add_gui_test(NAME source...): a Qt Test executable over the real widgets, run under the
# offscreen platform.
function(tessaro_add_gui_test name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE tessaro_ui Qt6::Test)
  target_compile_definitions(${name} PRIVATE TESSARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS gui ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
