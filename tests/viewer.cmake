# Tests of the viewer: the controller without a window (built by the generic
# rule above, skipped without the viewer) and the real program under Xvfb.
if(TARGET kavotbl_viewer_core AND TARGET kavotbl_viewer_controller_test)
  target_link_libraries(kavotbl_viewer_controller_test PRIVATE kavotbl_viewer_core)
  target_compile_definitions(kavotbl_viewer_controller_test PRIVATE KAVOTBL_HAVE_VIEWER=1)
endif()
