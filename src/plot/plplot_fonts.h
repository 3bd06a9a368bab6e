#pragma once

namespace ringsmooth {

// Sets PLPLOT_LIB, replacing any value, to the directory of PLplot's font files found when the
// program was built. Runs once as a static initializer and again first thing in the run.
void plplot_fonts();

// The directory baked in at build time.
const char* plplotFontDirectory();

}  // namespace ringsmooth
