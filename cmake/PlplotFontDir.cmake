# Finds the directory that holds PLplot's stroke fonts (plstnd5.fnt and plxtnd5.fnt) of the
# installed library. The program sets PLPLOT_LIB to it at start-up.
set(_font_hints)
if(PLPLOT_VERSION)
  list(APPEND _font_hints "${PLPLOT_PREFIX}/share/plplot${PLPLOT_VERSION}")
endif()
file(GLOB _font_globs LIST_DIRECTORIES true "/usr/share/plplot*" "/usr/local/share/plplot*"
     "${PLPLOT_PREFIX}/share/plplot*")
list(APPEND _font_hints ${_font_globs})
set(RINGSMOOTH_FONT_DIR "" CACHE PATH "Directory holding plstnd5.fnt and plxtnd5.fnt")
if(NOT RINGSMOOTH_FONT_DIR)
  foreach(_dir IN LISTS _font_hints)
    if(EXISTS "${_dir}/plstnd5.fnt" AND EXISTS "${_dir}/plxtnd5.fnt")
      set(RINGSMOOTH_FONT_DIR "${_dir}" CACHE PATH "Directory holding plstnd5.fnt and plxtnd5.fnt" FORCE)
      break()
    endif()
  endforeach()
endif()
if(NOT RINGSMOOTH_FONT_DIR OR NOT EXISTS "${RINGSMOOTH_FONT_DIR}/plstnd5.fnt"
   OR NOT EXISTS "${RINGSMOOTH_FONT_DIR}/plxtnd5.fnt")
  message(FATAL_ERROR
    "PLplot's font files plstnd5.fnt and plxtnd5.fnt were not found (looked in: ${_font_hints}). "
    "Install libplplot-dev (Debian) or set -DRINGSMOOTH_FONT_DIR=<directory holding them>.")
endif()
message(STATUS "PLplot font directory: ${RINGSMOOTH_FONT_DIR}")
