#include "plot/plplot_fonts.h"
// placeholder until the routine lands
namespace ringsmooth {
void plplot_fonts() {}
const char* plplotFontDirectory() { return RINGSMOOTH_FONT_DIR; }
}  // namespace ringsmooth
