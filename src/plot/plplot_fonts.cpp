#include "plot/plplot_fonts.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace ringsmooth {

bool holdsPlplotFonts(const char* directory) {
  if (directory == nullptr || directory[0] == '\0') return false;
  const std::string dir = directory;
  return ::access((dir + "/plstnd5.fnt").c_str(), R_OK) == 0 &&
         ::access((dir + "/plxtnd5.fnt").c_str(), R_OK) == 0;
}

void plplot_fonts() {
  // A PLPLOT_LIB of the user's that holds the font files is theirs to keep (the fonts may have
  // moved since the program was built); anything else, unset or a folder without them, is
  // replaced by the font directory the program was built with.
  if (holdsPlplotFonts(std::getenv("PLPLOT_LIB"))) return;
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
