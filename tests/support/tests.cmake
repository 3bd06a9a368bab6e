# Shared libraries the tests preload into the program: close(), fsync() or rename() of a chosen
# file fails with EIO (write failures); the clock steps a second at every reading (progress).
add_library(call_fails MODULE ${CMAKE_CURRENT_LIST_DIR}/call_fails.cpp)
target_link_libraries(call_fails PRIVATE ${CMAKE_DL_LIBS})
add_library(clock_steps MODULE ${CMAKE_CURRENT_LIST_DIR}/clock_steps.cpp)
target_link_libraries(clock_steps PRIVATE ${CMAKE_DL_LIBS})
if(TARGET driver_tests)
  add_dependencies(driver_tests call_fails clock_steps)
  target_compile_definitions(driver_tests PRIVATE CALL_FAILS_LIBRARY="$<TARGET_FILE:call_fails>"
                                                  CLOCK_STEPS_LIBRARY="$<TARGET_FILE:clock_steps>")
endif()
