# Compiler flags of every build of the program's sources: the program, its tests, the fuzz
# targets and the benchmarks. Every floating-point operation is rounded as written: no
# contraction into fused multiply-adds, no reassociation. The listings depend on it bit for bit.
set(RINGSMOOTH_COMPILE_OPTIONS -ffp-contract=off -fno-fast-math -Wall -Wextra -Wpedantic -Wshadow
    -Wconversion -Wno-sign-conversion)
set(RINGSMOOTH_SANITIZER_OPTIONS -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=all)

# The program's sources, without main.
function(ringsmooth_sources out root)
  file(GLOB _sources CONFIGURE_DEPENDS ${root}/src/core/*.cpp ${root}/src/driver/*.cpp
       ${root}/src/input/*.cpp ${root}/src/analysis/*.cpp ${root}/src/plot/*.cpp
       ${root}/src/output/*.cpp)
  list(FILTER _sources EXCLUDE REGEX "/main\\.cpp$")
  set(${out} ${_sources} PARENT_SCOPE)
endfunction()

# The library of the program's sources, linked to PLplot, with the font directory and version
# baked in (PLplot's pkg-config module and cmake/PlplotFontDir.cmake must have run).
function(ringsmooth_library name root version)
  ringsmooth_sources(_sources ${root})
  add_library(${name} STATIC ${_sources})
  # The wide Burg batch is built for AVX2 and called only where the processor has it.
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i.86")
    set_source_files_properties(${root}/src/analysis/memcof_batch_avx2.cpp PROPERTIES
                                COMPILE_OPTIONS "-mavx2")
  endif()
  target_include_directories(${name} PUBLIC ${root}/src)
  target_compile_definitions(${name} PRIVATE RINGSMOOTH_FONT_DIR="${RINGSMOOTH_FONT_DIR}"
                             RINGSMOOTH_VERSION="${version}")
  find_package(Threads REQUIRED)
  target_link_libraries(${name} PUBLIC PkgConfig::PLPLOT Threads::Threads)
endfunction()
