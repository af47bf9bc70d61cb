# The Python module's tests (python/tests, pytest) with the system
# interpreter. A plain interpreter cannot host an extension built with the
# sanitizers, so the sanitizer build compiles the module without running them.
if(NOT TARGET kavotbl_python OR NOT TARGET kavotbl_tool OR KAVOTBL_SANITIZE)
  return()
endif()
add_test(NAME python_module
         COMMAND ${KAVOTBL_PYTHON_EXECUTABLE} -m pytest -q -p no:cacheprovider ${PROJECT_SOURCE_DIR}/python/tests)
set_tests_properties(python_module PROPERTIES
  ENVIRONMENT "PYTHONPATH=${KAVOTBL_PYTHON_DIR};KAVOTBL_TOOL=$<TARGET_FILE:kavotbl_tool>;KAVOTBL_SOURCE_DIR=${PROJECT_SOURCE_DIR};PYTHONDONTWRITEBYTECODE=1")
