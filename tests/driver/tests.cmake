# The batch run's outputs read by the field's other tools (pandas, R, scipy). Debian's own
# Python has the packages the project installs; the first interpreter that has them runs it.
find_program(RINGSMOOTH_DEBIAN_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT RINGSMOOTH_DEBIAN_PYTHON)
  find_program(RINGSMOOTH_DEBIAN_PYTHON NAMES python3)
endif()
if(RINGSMOOTH_DEBIAN_PYTHON)
  add_test(NAME driver.other_tools
           COMMAND ${RINGSMOOTH_DEBIAN_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/other_tools_test.py
                   $<TARGET_FILE:ringsmooth> ${PROJECT_SOURCE_DIR}/examples/sample.txt
                   ${PROJECT_SOURCE_DIR}/tests/input/tucson/ca533.rwl)
  set_tests_properties(driver.other_tools PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
endif()
