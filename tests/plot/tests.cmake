# Plot tests that need a process of their own or tools beyond GoogleTest.

# The static initializer replaces a wrong PLPLOT_LIB before main runs.
add_test(NAME plot.fonts_set_before_main
         COMMAND plot_tests --gtest_filter=PlplotFonts.SetBeforeMainRuns)
set_tests_properties(plot.fonts_set_before_main PROPERTIES
  ENVIRONMENT "PLPLOT_LIB=/nonexistent/plplot-fonts" TIMEOUT 60)

# Two plots on the xwin screen of a private Xvfb: each waits for a key, then the program goes on.
add_executable(xwin_demo ${CMAKE_CURRENT_LIST_DIR}/xwin_demo.cpp)
target_link_libraries(xwin_demo PRIVATE ringsmooth_core)
add_test(NAME plot.xwin_screen
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/xwin_test.sh $<TARGET_FILE:xwin_demo>)
set_tests_properties(plot.xwin_screen PROPERTIES TIMEOUT 180 SKIP_RETURN_CODE 77)
