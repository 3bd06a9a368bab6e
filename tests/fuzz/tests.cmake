# Replays every fuzz target's seed corpus (and the inputs that once made a target fail, kept in
# the same folders) through the target compiled with the normal compiler and a plain main. The
# fuzzing itself needs clang++ and runs from scripts/fuzz.sh.
foreach(_target number_token free_form rdtabdat run_driver tucson)
  add_executable(fuzz_replay_${_target} ${CMAKE_CURRENT_LIST_DIR}/${_target}_fuzz.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/replay_main.cpp)
  target_link_libraries(fuzz_replay_${_target} PRIVATE ringsmooth_core)
  add_test(NAME fuzz.replay_${_target}
           COMMAND fuzz_replay_${_target} ${CMAKE_CURRENT_LIST_DIR}/${_target})
  set_tests_properties(fuzz.replay_${_target} PROPERTIES TIMEOUT 300)
endforeach()
