# Tests of the rtf, save, info and check subcommands.
#
# The subcommands as a user runs them: RTF opened by LibreOffice (skipped
# with a message without it), saves reloaded, info --json checked against
# schema/info.schema.json with python3's jsonschema.
if(TARGET kavotbl_tool AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/cli/rtf_save_info_test.cpp)
  find_package(nlohmann_json 3 REQUIRED)
  add_executable(kavotbl_cli_rtf_save_info_test ${CMAKE_CURRENT_SOURCE_DIR}/cli/rtf_save_info_test.cpp)
  target_link_libraries(kavotbl_cli_rtf_save_info_test PRIVATE kavotbl::kavotbl nlohmann_json::nlohmann_json
                                                               GTest::gtest GTest::gtest_main kavotbl_warnings)
  target_compile_definitions(kavotbl_cli_rtf_save_info_test PRIVATE
    KAVOTBL_PROGRAM="$<TARGET_FILE:kavotbl_tool>"
    KAVOTBL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KAVOTBL_CLI_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/cli")
  add_dependencies(kavotbl_cli_rtf_save_info_test kavotbl_tool)
  gtest_discover_tests(kavotbl_cli_rtf_save_info_test DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS cli ENVIRONMENT "${KAVOTBL_TEST_ENVIRONMENT}")
endif()
