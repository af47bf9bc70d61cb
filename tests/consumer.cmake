# Tests that use the library from outside its own build:
#   consumer.install           cmake --install of this build tree into a
#                              temporary prefix (which is then moved)
#   consumer.find_package      a project using find_package(KAVOTbl CONFIG)
#   consumer.pkg_config        a project using only kavotbl.pc
#   consumer.add_subdirectory  a project adding this source tree
#   consumer.examples          examples/summary and examples/host (the host
#                              guide's program) built on their own against
#                              the installed package, and run
#   example.summary.*          the kavotbl_summary example program
#
# Consumer projects build with this build's compiler, flags and build type.
# The project-wide compile and link options (the sanitizer flags among them)
# reach only targets of this build, so they are handed on explicitly: a
# consumer linking an instrumented library must be instrumented too.

set(KAVOTBL_CONSUMER_WORK ${CMAKE_CURRENT_BINARY_DIR}/consumer)
set(KAVOTBL_CONSUMER_PREFIX ${KAVOTBL_CONSUMER_WORK}/prefix)

get_directory_property(_kavotbl_compile_options COMPILE_OPTIONS)
get_directory_property(_kavotbl_link_options LINK_OPTIONS)
list(FILTER _kavotbl_compile_options EXCLUDE REGEX "\\$<")
list(FILTER _kavotbl_link_options EXCLUDE REGEX "\\$<")
list(JOIN _kavotbl_compile_options " " _kavotbl_compile_flags)
list(JOIN _kavotbl_link_options " " _kavotbl_link_flags)
string(STRIP "${CMAKE_CXX_FLAGS} ${_kavotbl_compile_flags}" _kavotbl_consumer_cxx_flags)
string(STRIP "${CMAKE_EXE_LINKER_FLAGS} ${_kavotbl_link_flags}" _kavotbl_consumer_linker_flags)

# Optional components register themselves before the tests are set up.
get_property(_kavotbl_components GLOBAL PROPERTY KAVOTBL_COMPONENTS)
list(JOIN _kavotbl_components "," _kavotbl_components)

set(_kavotbl_consumer_args
  -DBUILD_DIR=${PROJECT_BINARY_DIR}
  -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
  -DCONSUMER_DIR=${CMAKE_CURRENT_SOURCE_DIR}/consumer
  -DWORK_DIR=${KAVOTBL_CONSUMER_WORK}
  -DPREFIX=${KAVOTBL_CONSUMER_PREFIX}
  -DLIBDIR=${CMAKE_INSTALL_LIBDIR}
  -DVERSION=${PROJECT_VERSION}
  "-DCOMPONENTS=${_kavotbl_components}"
  "-DGENERATOR=${CMAKE_GENERATOR}"
  -DMAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
  -DCXX=${CMAKE_CXX_COMPILER}
  "-DCXX_FLAGS=${_kavotbl_consumer_cxx_flags}"
  "-DLINKER_FLAGS=${_kavotbl_consumer_linker_flags}"
  # Consumers of the installed package get the sanitizer link flags from it.
  "-DPACKAGE_LINKER_FLAGS=${CMAKE_EXE_LINKER_FLAGS}"
  -DDATADIR=${CMAKE_INSTALL_DATADIR}
  -DBUILD_TYPE=${CMAKE_BUILD_TYPE}
  -DCONFIG=$<CONFIG>
  # The consumer's file has three data rows of two values each: 3 x 2 cells.
  "-DEXPECT=name: Households\ndata rows: 3\ndata columns: 2\ndata cells: 6\n")

set(_kavotbl_consumer_script ${CMAKE_CURRENT_SOURCE_DIR}/consumer/run.cmake)

if(KAVOTBL_INSTALL)
  add_test(NAME consumer.install
    COMMAND ${CMAKE_COMMAND} -DMODE=install ${_kavotbl_consumer_args} -P ${_kavotbl_consumer_script})
  set_tests_properties(consumer.install PROPERTIES FIXTURES_SETUP kavotbl_installed
                                                   ENVIRONMENT "${KAVOTBL_TEST_ENVIRONMENT}")
  foreach(mode find_package pkg_config examples)
    add_test(NAME consumer.${mode}
      COMMAND ${CMAKE_COMMAND} -DMODE=${mode} ${_kavotbl_consumer_args} -P ${_kavotbl_consumer_script})
    set_tests_properties(consumer.${mode} PROPERTIES FIXTURES_REQUIRED kavotbl_installed TIMEOUT 600
                                                      ENVIRONMENT "${KAVOTBL_TEST_ENVIRONMENT}")
  endforeach()
endif()

# Compiles the whole library once more, with two jobs.
add_test(NAME consumer.add_subdirectory
  COMMAND ${CMAKE_COMMAND} -DMODE=add_subdirectory ${_kavotbl_consumer_args} -P ${_kavotbl_consumer_script})
set_tests_properties(consumer.add_subdirectory PROPERTIES PROCESSORS 2 TIMEOUT 1800
                                                           ENVIRONMENT "${KAVOTBL_TEST_ENVIRONMENT}")

# The summary example: what it prints for a file, and how it fails.
if(TARGET kavotbl_summary)
  set(_kavotbl_data ${CMAKE_CURRENT_SOURCE_DIR}/consumer/data)
  set(_kavotbl_expect ${CMAKE_CURRENT_SOURCE_DIR}/consumer/expect.cmake)
  function(kavotbl_summary_test name)
    add_test(NAME example.summary.${name}
      COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:kavotbl_summary> ${ARGN} -P ${_kavotbl_expect})
    set_tests_properties(example.summary.${name} PROPERTIES ENVIRONMENT "${KAVOTBL_TEST_ENVIRONMENT}")
  endfunction()

  # Two tables. The registry holds Default, the file's Bold and the nine
  # element styles, in that order; formats Default, Percent and Unused.
  # Table 1 has a spanner over two of its three columns (2 heading levels)
  # and no row group, so its elements use every element style but RowGroup;
  # its cells take Default style, and Default format except in the Share
  # column (Percent). Table 2 has no spanner and no piece text; its one cell
  # takes Bold from its row, so Default is no style of it, only its format.
  kavotbl_summary_test(two_tables
    -DARG0=${_kavotbl_data}/two_tables.tbl -DEXIT=0
    "-DSTDOUT0=two_tables.tbl: 2 tables\n"
    "-DSTDOUT1=styles: +Default, Bold, Table, Title, StubHead, Footer, Header, ColumnGroup, Column, RowGroup, Row\n"
    "-DSTDOUT2=formats: +Default, Percent, Unused\n"
    "-DSTDOUT3=table 1: Households\n"
    "-DSTDOUT4=title: +Households by size\n"
    "-DSTDOUT5=stub head: +Size\n"
    "-DSTDOUT6=data: +2 rows x 3 columns\n"
    "-DSTDOUT7=levels: +2 column, 1 row\n"
    "-DSTDOUT8=styles: +Default, Table, Title, StubHead, Footer, Header, ColumnGroup, Column, Row\n"
    "-DSTDOUT9=formats: +Default, Percent\n"
    "-DSTDOUT10=table 2: Total\n"
    "-DSTDOUT11=data: +1 row x 1 column\n"
    "-DSTDOUT12=levels: +1 column, 1 row\n"
    "-DSTDOUT13=styles: +Bold, Table, Title, StubHead, Footer, Header, Column, Row\n"
    "-DSTDOUT14=formats: +Default\n")
  # A malformed value stops the load with the reader's message.
  kavotbl_summary_test(bad_data
    -DARG0=${_kavotbl_data}/bad_data.tbl -DEXIT=1
    "-DSTDERR0=bad_data.tbl: .*not numeric: +x\n"
    "-DSTDERR1=table 1 failed to load")
  kavotbl_summary_test(no_table
    -DARG0=${_kavotbl_data}/no_table.tbl -DEXIT=1
    "-DSTDOUT0=no_table.tbl: 0 tables\n" "-DSTDERR0=no table in the file")
  kavotbl_summary_test(missing_file
    -DARG0=${_kavotbl_data}/does_not_exist.tbl -DEXIT=1 "-DSTDERR0=cannot open the file")
  kavotbl_summary_test(usage -DEXIT=2 "-DSTDERR0=usage: kavotbl_summary FILE")
endif()
