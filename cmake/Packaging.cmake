# Installation layout and the Debian package.
#
#   cmake --install <build> [--prefix DIR]   bin/ringsmooth, share/man/man1/ringsmooth.1.gz,
#                                            share/ringsmooth/examples/, share/doc/ringsmooth/
#   cpack -G DEB (in the build folder)       ringsmooth_<version>_<arch>.deb installing under /usr
#
# The program keeps the absolute font directory of the PLplot it was built against
# (RINGSMOOTH_FONT_DIR), so the package depends on the Debian package that owns those files, at
# the same upstream version.
include(GNUInstallDirs)

# Installing and packaging take what the last build made; they don't build the whole tree
# (tests and benchmarks included) first. Build, then `cmake --install` or `cpack`.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS ringsmooth RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Man pages are installed compressed, as Debian policy asks; -n keeps the archive free of the
# build time so that two builds give the same file.
find_program(RINGSMOOTH_GZIP gzip REQUIRED)
set(_manpage_source "${PROJECT_SOURCE_DIR}/doc/ringsmooth.1")
set(_manpage_gz "${PROJECT_BINARY_DIR}/doc/ringsmooth.1.gz")
add_custom_command(
  OUTPUT "${_manpage_gz}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${PROJECT_BINARY_DIR}/doc"
  COMMAND ${RINGSMOOTH_GZIP} -9 -n -c "${_manpage_source}" > "${_manpage_gz}"
  DEPENDS "${_manpage_source}"
  COMMENT "Compressing the man page"
  VERBATIM)
add_custom_target(ringsmooth_manpage ALL DEPENDS "${_manpage_gz}")
install(FILES "${_manpage_gz}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES examples/sample.txt examples/make_sample.py
        DESTINATION ${CMAKE_INSTALL_DATADIR}/ringsmooth/examples)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# --- Debian package -----------------------------------------------------------------------------

# The Debian package that owns a file, or "" when dpkg doesn't know it (a PLplot built by hand).
function(ringsmooth_owning_package file result)
  set(_package "")
  find_program(RINGSMOOTH_DPKG_QUERY dpkg-query)
  if(RINGSMOOTH_DPKG_QUERY AND EXISTS "${file}")
    get_filename_component(_real "${file}" REALPATH)
    foreach(_path IN ITEMS "${file}" "${_real}")
      execute_process(COMMAND ${RINGSMOOTH_DPKG_QUERY} -S "${_path}"
                      OUTPUT_VARIABLE _owner RESULT_VARIABLE _status ERROR_QUIET)
      if(_status EQUAL 0)
        # "libplplot17:amd64: /usr/lib/...": the name before the first colon.
        string(REGEX REPLACE "^([^:, ]+).*" "\\1" _package "${_owner}")
        string(STRIP "${_package}" _package)
        break()
      endif()
    endforeach()
  endif()
  set(${result} "${_package}" PARENT_SCOPE)
endfunction()

# The shared PLplot library the program links: the real file behind libplplot.so.
find_library(RINGSMOOTH_PLPLOT_LIBRARY NAMES plplot HINTS ${PLPLOT_LIBRARY_DIRS})
set(_plplot_so "")
if(RINGSMOOTH_PLPLOT_LIBRARY)
  get_filename_component(_plplot_so "${RINGSMOOTH_PLPLOT_LIBRARY}" REALPATH)
endif()
ringsmooth_owning_package("${_plplot_so}" _plplot_package)
ringsmooth_owning_package("${RINGSMOOTH_FONT_DIR}/plstnd5.fnt" _font_package)
if(NOT _plplot_package)
  set(_plplot_package libplplot17)
  message(STATUS "Packaging: dpkg doesn't know ${_plplot_so}; assuming ${_plplot_package}")
endif()
if(NOT _font_package)
  set(_font_package libplplot-data)
endif()

# The font directory is named after PLplot's upstream version (plplot5.15.0), so only a data
# package of that upstream version has it.
set(_depends)
if(PLPLOT_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  math(EXPR _next_patch "${CMAKE_MATCH_3} + 1")
  set(_next "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${_next_patch}")
  list(APPEND _depends "${_font_package} (>= ${PLPLOT_VERSION})" "${_font_package} (<< ${_next}~)")
else()
  list(APPEND _depends "${_font_package}")
endif()
# The screen device and the file devices are plug-ins of their own in Debian.
list(APPEND _depends plplot-driver-xwin plplot-driver-cairo)

# dpkg-shlibdeps (from dpkg-dev) adds libc6, libstdc++6 and versioned library dependencies;
# without it the C and C++ run-time libraries are named by hand.
find_program(RINGSMOOTH_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(RINGSMOOTH_DPKG_SHLIBDEPS)
  # It names the PLplot library too, with the version the program was linked against.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  message(STATUS "Packaging: dpkg-shlibdeps not found (package dpkg-dev); naming libc6 and "
                 "libstdc++6 without versions")
  list(PREPEND _depends "${_plplot_package}")
  list(APPEND _depends libc6 libstdc++6)
endif()
list(JOIN _depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ringsmooth)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ringsmooth developers <ringsmooth@localhost>")
set(CPACK_PACKAGE_VENDOR "ringsmooth developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "smooth annual time series with a cubic smoothing spline")
# The summary above is the synopsis line; this is the extended description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "ringsmooth is an interactive console program for annual series such as tree-ring\n"
    "chronologies or climate records, kept as a table with one row per year. Each series\n"
    "is extended at both ends by linear prediction from a Burg prediction-error filter and\n"
    "smoothed with a cubic spline whose 50% frequency response lies at a period you choose.\n"
    "It writes a fixed-width listing of year, value, spline and residual for every series\n"
    "and draws one PLplot plot per series, on screen or into image files.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build[^/]*/" "/\\\\.git/" "/out/")
message(STATUS "Packaging: Depends: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
include(CPack)
