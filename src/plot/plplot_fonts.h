#pragma once

namespace ringsmooth {

// Makes PLPLOT_LIB name a folder with PLplot's stroke fonts (plstnd5.fnt, plxtnd5.fnt): a value
// that already does is kept; otherwise (unset, or a folder without them) it is set, with
// overwrite, to the font directory found when the program was built. Runs once as a static
// initializer and again first thing in the run.
void plplot_fonts();

// The directory baked in at build time.
const char* plplotFontDirectory();

// True when `directory` holds both stroke-font files, readable.
bool holdsPlplotFonts(const char* directory);

}  // namespace ringsmooth
