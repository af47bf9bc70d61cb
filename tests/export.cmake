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
