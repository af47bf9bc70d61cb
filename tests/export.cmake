# Tests of the export module: tests/export_*_test.cpp are built by the
# generic rule; here they get the module when it was built, and compile to
# a skipped test otherwise.
file(GLOB _kavotbl_export_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/export_*_test.cpp)
foreach(src ${_kavotbl_export_tests})
  get_filename_component(name ${src} NAME_WE)
  if(TARGET kavotbl_export)
    target_link_libraries(kavotbl_${name} PRIVATE kavotbl::export)
    target_include_directories(kavotbl_${name} PRIVATE ${PROJECT_SOURCE_DIR}/export/src)
    target_compile_definitions(kavotbl_${name} PRIVATE KAVOTBL_HAVE_EXPORT=1)
  endif()
endforeach()

# The export command's files read back with openpyxl, csv and html5lib, and
# the spreadsheet converted by LibreOffice (Debian's python3 has the modules).
find_program(KAVOTBL_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(TARGET kavotbl_tool AND KAVOTBL_PYTHON3)
  add_test(NAME export.read_back
    COMMAND ${KAVOTBL_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/export/read_back.py $<TARGET_FILE:kavotbl_tool>
            ${CMAKE_CURRENT_SOURCE_DIR}/export/sample.tbl ${CMAKE_CURRENT_BINARY_DIR}/export_read_back)
  set_tests_properties(export.read_back PROPERTIES LABELS cli TIMEOUT 300 ENVIRONMENT "${KAVOTBL_TEST_ENVIRONMENT}")
endif()
