# The Python module's tests (python/tests, pytest) with the system
# interpreter. In the sanitizer build the interpreter itself is not
# instrumented, so the sanitizer runtimes are preloaded for it (GCC's; with
# another compiler the tests run only in the other builds), and leak
# detection is off: the interpreter keeps its objects until exit.
if(NOT TARGET kavotbl_python OR NOT TARGET kavotbl_tool)
  return()
endif()
set(_kavotbl_python_env
  "PYTHONPATH=${KAVOTBL_PYTHON_DIR}" "KAVOTBL_TOOL=$<TARGET_FILE:kavotbl_tool>"
  "KAVOTBL_SOURCE_DIR=${PROJECT_SOURCE_DIR}" "PYTHONDONTWRITEBYTECODE=1")
if(KAVOTBL_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    return()
  endif()
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so OUTPUT_VARIABLE _asan OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libubsan.so OUTPUT_VARIABLE _ubsan OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT EXISTS "${_asan}" OR NOT EXISTS "${_ubsan}")
    return()
  endif()
  list(APPEND _kavotbl_python_env "LD_PRELOAD=${_asan} ${_ubsan}" "ASAN_OPTIONS=detect_leaks=0")
endif()
add_test(NAME python_module
         COMMAND ${KAVOTBL_PYTHON_EXECUTABLE} -m pytest -q -p no:cacheprovider
                 --basetemp=${CMAKE_CURRENT_BINARY_DIR}/python_tmp ${PROJECT_SOURCE_DIR}/python/tests)
set_tests_properties(python_module PROPERTIES ENVIRONMENT "${_kavotbl_python_env}")
