# Tests of the viewer: the controller without a window (built by the generic
# rule above, skipped without the viewer) and the real program under Xvfb.
if(TARGET kavotbl_viewer_core AND TARGET kavotbl_viewer_controller_test)
  target_link_libraries(kavotbl_viewer_controller_test PRIVATE kavotbl_viewer_core)
  target_compile_definitions(kavotbl_viewer_controller_test PRIVATE KAVOTBL_HAVE_VIEWER=1)
endif()

# The program under Xvfb (xvfb, xdotool and xclip from Debian); the test
# skips itself where Xvfb is not installed.
find_package(X11 QUIET)
if(TARGET kavotbl_view AND TARGET kavotbl_tool AND X11_FOUND AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/viewer/xvfb_test.cpp)
  add_executable(kavotbl_viewer_xvfb_test ${CMAKE_CURRENT_SOURCE_DIR}/viewer/xvfb_test.cpp)
  target_link_libraries(kavotbl_viewer_xvfb_test PRIVATE PkgConfig::KAVOTBL_CAIRO_DEPS ${X11_LIBRARIES}
                                                         GTest::gtest GTest::gtest_main kavotbl_warnings)
  target_include_directories(kavotbl_viewer_xvfb_test PRIVATE ${X11_INCLUDE_DIR})
  target_compile_definitions(kavotbl_viewer_xvfb_test PRIVATE
    KAVOTBL_VIEWER="$<TARGET_FILE:kavotbl_view>"
    KAVOTBL_PROGRAM="$<TARGET_FILE:kavotbl_tool>"
    KAVOTBL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_dependencies(kavotbl_viewer_xvfb_test kavotbl_view kavotbl_tool)
  gtest_discover_tests(kavotbl_viewer_xvfb_test DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS viewer TIMEOUT 120 ENVIRONMENT "${KAVOTBL_TEST_ENVIRONMENT}")
endif()
