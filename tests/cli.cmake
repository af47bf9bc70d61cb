# Tests of the Cairo surface and of the kavotbl program.
#
# tests/cairo_*_test.cpp are built by the generic rule above; here they get
# the Cairo surface (and the program's shared helpers) when those were built,
# and compile to a skipped test otherwise.
file(GLOB _kavotbl_cairo_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/cairo_*_test.cpp)
foreach(src ${_kavotbl_cairo_tests})
  get_filename_component(name ${src} NAME_WE)
  if(TARGET kavotbl_cairo)
    target_link_libraries(kavotbl_${name} PRIVATE kavotbl::cairo PkgConfig::KAVOTBL_CAIRO_DEPS)
    target_include_directories(kavotbl_${name} PRIVATE ${KAVOTBL_CAIRO_PRIVATE_INCLUDE})
    target_compile_definitions(kavotbl_${name} PRIVATE KAVOTBL_HAVE_CAIRO=1)
    if(TARGET kavotbl_tool_common)
      target_link_libraries(kavotbl_${name} PRIVATE kavotbl_tool_common)
      target_compile_definitions(kavotbl_${name} PRIVATE KAVOTBL_HAVE_TOOLS=1)
    endif()
  endif()
endforeach()

# Program tests: run the built kavotbl on files under tests/cli/ and check
# the PDF (poppler-utils: pdfinfo, pdftotext), the images and the errors.
if(TARGET kavotbl_tool AND TARGET kavotbl_cairo AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/cli/cli_test.cpp)
  add_executable(kavotbl_cli_test ${CMAKE_CURRENT_SOURCE_DIR}/cli/cli_test.cpp)
  target_link_libraries(kavotbl_cli_test PRIVATE kavotbl::cairo kavotbl::kavotbl PkgConfig::KAVOTBL_CAIRO_DEPS
                                                 GTest::gtest GTest::gtest_main kavotbl_warnings)
  target_compile_definitions(kavotbl_cli_test PRIVATE
    KAVOTBL_PROGRAM="$<TARGET_FILE:kavotbl_tool>"
    KAVOTBL_VERSION="${PROJECT_VERSION}"
    KAVOTBL_CLI_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/cli"
    KAVOTBL_REFERENCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data/reference")
  add_dependencies(kavotbl_cli_test kavotbl_tool)
  gtest_discover_tests(kavotbl_cli_test DISCOVERY_TIMEOUT 60 PROPERTIES LABELS cli)
endif()
