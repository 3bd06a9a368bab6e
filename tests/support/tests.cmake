# Shared libraries the tests preload into the program: close() of a chosen file fails with EIO
# (write failures); the monotonic clock steps a second at every reading (the progress display).
add_library(close_fails MODULE ${CMAKE_CURRENT_LIST_DIR}/close_fails.cpp)
target_link_libraries(close_fails PRIVATE ${CMAKE_DL_LIBS})
add_library(clock_steps MODULE ${CMAKE_CURRENT_LIST_DIR}/clock_steps.cpp)
target_link_libraries(clock_steps PRIVATE ${CMAKE_DL_LIBS})
if(TARGET driver_tests)
  add_dependencies(driver_tests close_fails clock_steps)
  target_compile_definitions(driver_tests PRIVATE CLOSE_FAILS_LIBRARY="$<TARGET_FILE:close_fails>"
                                                  CLOCK_STEPS_LIBRARY="$<TARGET_FILE:clock_steps>")
endif()
