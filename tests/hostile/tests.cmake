# Hostile input and faults that need tools beyond GoogleTest: valgrind on whole runs, and the
# differential reading test against gfortran's list-directed READ.
set(_hostile ${CMAKE_CURRENT_LIST_DIR})
set(_gfortran_diff ${CMAKE_CURRENT_LIST_DIR}/../input/gfortran_diff)

# Memcheck over the sample table with plots off and to SVG, and over a run ending in an input
# error. Under the sanitizer build valgrind can't run the program, so the test is left out there.
if(NOT RINGSMOOTH_SANITIZE)
  add_test(NAME hostile.valgrind
           COMMAND bash ${_hostile}/valgrind_test.sh $<TARGET_FILE:ringsmooth> ${PROJECT_SOURCE_DIR})
  set_tests_properties(hostile.valgrind PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
endif()

# The program's reader on the cases of generate.py, for comparison with fortran_reader.f90.
add_executable(gfortran_diff_reader ${_gfortran_diff}/cpp_reader.cpp)
target_link_libraries(gfortran_diff_reader PRIVATE ringsmooth_core)
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
  add_test(NAME input.gfortran_differential
           COMMAND ${Python3_EXECUTABLE} ${_gfortran_diff}/run_diff.py
                   $<TARGET_FILE:gfortran_diff_reader> ${CMAKE_CURRENT_BINARY_DIR}/gfortran_diff 4000)
  set_tests_properties(input.gfortran_differential PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
endif()
