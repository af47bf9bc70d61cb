# Drives one step of the consumer tests; run with cmake -P.
#
#   MODE=install           installs BUILD_DIR into a staging prefix, moves the
#                          tree to PREFIX and checks what landed there
#   MODE=find_package      builds and runs consumer/find_package against PREFIX
#   MODE=pkg_config        builds and runs consumer/pkg_config against PREFIX
#   MODE=add_subdirectory  builds and runs consumer/add_subdirectory, which adds
#                          the source tree SOURCE_DIR
#   MODE=examples          builds the example programs of SOURCE_DIR as projects
#                          of their own against PREFIX and runs them
#
# Consumers build with GENERATOR, CXX, CXX_FLAGS, LINKER_FLAGS and BUILD_TYPE
# of the project's own build (sanitizer flags included), and their output
# must match EXPECT.

cmake_minimum_required(VERSION 3.20)

# Projects on the installed package link only what the package gives them:
# the sanitizer runtimes of an instrumented build come from it.
if(MODE MATCHES "^(find_package|pkg_config|examples)$")
  set(LINKER_FLAGS "${PACKAGE_LINKER_FLAGS}")
endif()

function(fail)
  string(JOIN "" text ${ARGV})
  message(FATAL_ERROR "${text}")
endfunction()

function(run_step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    fail("${what} failed (${rc}):\n${out}\n${err}")
  endif()
endfunction()

# The parent build's settings for a consumer project.
# A fresh build tree keeps a cache from an earlier prefix out of the way; the
# add_subdirectory consumer keeps its tree, so that rerunning it only
# rebuilds what changed.
function(consumer_configure source binary fresh)
  if(fresh)
    file(REMOVE_RECURSE ${binary})
  endif()
  set(args -S ${source} -B ${binary} -G "${GENERATOR}"
      -DCMAKE_CXX_COMPILER=${CXX}
      "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
      "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}"
      -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
      ${ARGN})
  if(BUILD_TYPE)
    list(APPEND args -DCMAKE_BUILD_TYPE=${BUILD_TYPE})
  endif()
  if(MAKE_PROGRAM)
    list(APPEND args -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM})
  endif()
  run_step("configuring ${source}" ${CMAKE_COMMAND} ${args})
endfunction()

function(consumer_build_and_run binary)
  set(config_args "")
  if(CONFIG)
    set(config_args --config ${CONFIG})
  endif()
  run_step("building ${binary}" ${CMAKE_COMMAND} --build ${binary} --parallel 2 ${config_args})
  find_program(consumer_exe NAMES consumer PATHS ${binary} ${binary}/${CONFIG} NO_DEFAULT_PATH NO_CACHE)
  if(NOT consumer_exe)
    fail("no consumer program was built in ${binary}")
  endif()
  execute_process(COMMAND ${consumer_exe} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  message(STATUS "consumer output:\n${out}${err}")
  if(NOT rc EQUAL 0)
    fail("the consumer exited with ${rc}")
  endif()
  if(NOT out MATCHES "${EXPECT}")
    fail("the consumer's output does not match \"${EXPECT}\"")
  endif()

  find_program(cairo_exe NAMES consumer_cairo PATHS ${binary} ${binary}/${CONFIG} NO_DEFAULT_PATH NO_CACHE)
  if(cairo_exe)
    execute_process(COMMAND ${cairo_exe} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    message(STATUS "cairo consumer output:\n${out}${err}")
    if(NOT rc EQUAL 0 OR NOT out MATCHES "text measured")
      fail("the cairo consumer failed (${rc})")
    endif()
  endif()
  find_program(export_exe NAMES consumer_export PATHS ${binary} ${binary}/${CONFIG} NO_DEFAULT_PATH NO_CACHE)
  if(export_exe)
    execute_process(COMMAND ${export_exe} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    message(STATUS "export consumer output:\n${out}${err}")
    if(NOT rc EQUAL 0 OR NOT out MATCHES "table written")
      fail("the export consumer failed (${rc})")
    endif()
  elseif("export" IN_LIST COMPONENTS_LIST AND NOT MODE STREQUAL "add_subdirectory")
    fail("no export consumer was built in ${binary}")
  endif()
endfunction()

string(REPLACE "," ";" COMPONENTS_LIST "${COMPONENTS}")

if(MODE STREQUAL "install")
  set(stage ${PREFIX}.stage)
  file(REMOVE_RECURSE ${stage} ${PREFIX})
  set(config_args "")
  if(CONFIG)
    set(config_args --config ${CONFIG})
  endif()
  run_step("installing ${BUILD_DIR}" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${stage} ${config_args})
  # Everything below must work from wherever the tree ends up: move it.
  file(RENAME ${stage} ${PREFIX})

  foreach(required
      include/kavotbl/kavotbl.h
      include/kavotbl/model/table.h
      ${LIBDIR}/cmake/KAVOTbl/KAVOTblConfig.cmake
      ${LIBDIR}/cmake/KAVOTbl/KAVOTblConfigVersion.cmake
      ${LIBDIR}/cmake/KAVOTbl/KAVOTblTargets.cmake
      ${LIBDIR}/pkgconfig/kavotbl.pc
      ${DATADIR}/kavotbl/lsan.supp)
    if(NOT EXISTS ${PREFIX}/${required})
      fail("the installed tree lacks ${required}")
    endif()
  endforeach()
  file(GLOB libraries ${PREFIX}/${LIBDIR}/libkavotbl.* ${PREFIX}/${LIBDIR}/kavotbl.lib)
  if(NOT libraries)
    fail("the installed tree lacks the library in ${LIBDIR}")
  endif()
  # Private sources stay private.
  file(GLOB_RECURSE private_files ${PREFIX}/*.cpp)
  if(private_files)
    fail("sources were installed: ${private_files}")
  endif()
  # A package file that names the staging prefix, the source tree or the
  # build tree would break as soon as the tree moves.
  file(GLOB_RECURSE package_files ${PREFIX}/${LIBDIR}/cmake/*.cmake ${PREFIX}/${LIBDIR}/pkgconfig/*.pc)
  foreach(package_file IN LISTS package_files)
    file(READ ${package_file} text)
    foreach(path ${stage} ${SOURCE_DIR} ${BUILD_DIR})
      string(FIND "${text}" "${path}" at)
      if(NOT at EQUAL -1)
        fail("${package_file} names ${path}")
      endif()
    endforeach()
  endforeach()

elseif(MODE STREQUAL "find_package")
  set(binary ${WORK_DIR}/find_package)
  consumer_configure(${CONSUMER_DIR}/find_package ${binary} ON
    -DCMAKE_PREFIX_PATH=${PREFIX} -DKAVOTBL_EXPECTED_PREFIX=${PREFIX}
    -DKAVOTBL_EXPECTED_VERSION=${VERSION} "-DKAVOTBL_EXPECTED_COMPONENTS=${COMPONENTS}")
  consumer_build_and_run(${binary})

elseif(MODE STREQUAL "pkg_config")
  # Only the .pc files may lead the consumer to the library: no CMake prefix
  # path; pkg-config searches the installed tree first, then the system's
  # directories for what a component requires.
  set(ENV{PKG_CONFIG_PATH} ${PREFIX}/${LIBDIR}/pkgconfig)
  unset(ENV{PKG_CONFIG_LIBDIR})
  unset(ENV{CMAKE_PREFIX_PATH})
  set(binary ${WORK_DIR}/pkg_config)
  consumer_configure(${CONSUMER_DIR}/pkg_config ${binary} ON
    -DKAVOTBL_EXPECTED_PREFIX=${PREFIX} -DKAVOTBL_EXPECTED_VERSION=${VERSION}
    "-DKAVOTBL_EXPECTED_COMPONENTS=${COMPONENTS}")
  consumer_build_and_run(${binary})

elseif(MODE STREQUAL "add_subdirectory")
  set(binary ${WORK_DIR}/add_subdirectory)
  consumer_configure(${CONSUMER_DIR}/add_subdirectory ${binary} OFF -DKAVOTBL_SOURCE_DIR=${SOURCE_DIR})
  consumer_build_and_run(${binary})

elseif(MODE STREQUAL "examples")
  # The leak suppressions as installed, for an instrumented build.
  set(ENV{LSAN_OPTIONS} "suppressions=${PREFIX}/${DATADIR}/kavotbl/lsan.supp:print_suppressions=0")
  set(examples summary)
  if("cairo" IN_LIST COMPONENTS OR COMPONENTS MATCHES "(^|,)cairo(,|$)")
    list(APPEND examples host)
  endif()
  set(config_args "")
  if(CONFIG)
    set(config_args --config ${CONFIG})
  endif()
  foreach(example IN LISTS examples)
    set(binary ${WORK_DIR}/example_${example})
    consumer_configure(${SOURCE_DIR}/examples/${example} ${binary} ON -DCMAKE_PREFIX_PATH=${PREFIX})
    run_step("building ${binary}" ${CMAKE_COMMAND} --build ${binary} --parallel 2 ${config_args})
    find_program(exe_${example} NAMES kavotbl_${example} kavotbl_${example}_example
                 PATHS ${binary} ${binary}/${CONFIG} NO_DEFAULT_PATH NO_CACHE)
    if(NOT exe_${example})
      fail("no program was built in ${binary}")
    endif()
  endforeach()
  execute_process(COMMAND ${exe_summary} ${CONSUMER_DIR}/data/two_tables.tbl
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "two_tables.tbl: 2 tables")
    fail("the summary example failed (${rc}):\n${out}${err}")
  endif()
  if(exe_host)
    set(out_dir ${WORK_DIR}/example_host_out)
    file(REMOVE_RECURSE ${out_dir})
    file(MAKE_DIRECTORY ${out_dir})
    execute_process(COMMAND ${exe_host} ${SOURCE_DIR}/examples/households.tbl ${out_dir}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    message(STATUS "host example output:\n${out}${err}")
    if(NOT rc EQUAL 0 OR NOT out MATCHES "hit: cell at data row 0, data column 0\n.*printed [1-9][0-9]* pages.*\ndone\n")
      fail("the host example failed (${rc})")
    endif()
    foreach(made window.png scrolled.png block.png block.tbl table.pdf built.tbl)
      if(NOT EXISTS ${out_dir}/${made})
        fail("the host example did not write ${made}")
      endif()
    endforeach()
    # The saved block is data rows 0-1 by data columns 0-1, under their
    # spanner and caption.
    file(READ ${out_dir}/block.tbl block)
    if(NOT block MATCHES "Size=2, 2\n.*\[ColumnGroup\].*\[RowGroup\].*Data=460800, 318420\n.*Data=600875, 402115\n")
      fail("the saved block is not the selected one:\n${block}")
    endif()
  endif()

else()
  fail("unknown MODE \"${MODE}\"")
endif()
