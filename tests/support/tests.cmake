# A shared library the write-failure tests preload into the program: close() of a chosen file
# fails with EIO.
add_library(close_fails MODULE ${CMAKE_CURRENT_LIST_DIR}/close_fails.cpp)
target_link_libraries(close_fails PRIVATE ${CMAKE_DL_LIBS})
if(TARGET driver_tests)
  add_dependencies(driver_tests close_fails)
  target_compile_definitions(driver_tests PRIVATE CLOSE_FAILS_LIBRARY="$<TARGET_FILE:close_fails>")
endif()
