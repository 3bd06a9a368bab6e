#include "plot/plplot_fonts.h"

#include <cstdlib>

namespace ringsmooth {

void plplot_fonts() {
  // Overwrite on purpose: a PLPLOT_LIB left over from another PLplot installation would
  // point the library at font files of another version.
  setenv("PLPLOT_LIB", RINGSMOOTH_FONT_DIR, 1);
}

const char* plplotFontDirectory() { return RINGSMOOTH_FONT_DIR; }

}  // namespace ringsmooth

namespace {

// Sets PLPLOT_LIB before main runs. The driver calls plplot_fonts() itself as well, which
// also keeps this object file (and so this initializer) in the linked program.
struct FontDirectoryAtStartup {
  FontDirectoryAtStartup() { ringsmooth::plplot_fonts(); }
};
const FontDirectoryAtStartup fontDirectoryAtStartup;

}  // namespace
