# Headless tests of the logic against fakes of the platform.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(native_tests
  tests/native/fakes.cpp
  tests/native/fake_platform.cpp
  tests/native/fake_error_text.cpp
  tests/native/fake_security.cpp
  tests/native/ace_editor_test.cpp
  tests/native/backup_test.cpp
  tests/native/call_it_test.cpp
  tests/native/list_editors_test.cpp
  tests/native/explain_test.cpp
  tests/native/inheritance_test.cpp
  tests/native/forms_test.cpp
  tests/native/listing_changes_test.cpp
  tests/native/listing_test.cpp
  tests/native/journal_test.cpp
  tests/native/scope_test.cpp
  tests/native/call_reader_test.cpp
  tests/native/call_string_test.cpp
  tests/native/main_window_test.cpp
  tests/native/clearing_test.cpp
  tests/native/registry_test.cpp
  tests/native/start_up_test.cpp
  tests/native/settings_test.cpp
  tests/native/permissions_test.cpp
  tests/native/reach_test.cpp
  tests/native/run_test.cpp
  tests/native/standin_test.cpp
  tests/native/text_rows_test.cpp
  tests/native/tree_analysis_test.cpp
  tests/native/tree_report_test.cpp
  tests/native/undo_test.cpp
  # The stand-in's words for a call, which standin_test checks.
  tools/setacl/describe.cpp
)
target_include_directories(native_tests PRIVATE ${CMAKE_SOURCE_DIR})
# The shared test data stands beside the project's folder.
target_compile_definitions(native_tests PRIVATE VORLANE_TEST_DATA="${CMAKE_SOURCE_DIR}/../shared/data")
target_link_libraries(native_tests PRIVATE vorlane_app GTest::gtest_main)
gtest_discover_tests(native_tests DISCOVERY_TIMEOUT 60)
