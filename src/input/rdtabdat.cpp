#include "input/rdtabdat.h"
// placeholder until the reader lands
namespace ringsmooth {
void rdtabdat(FreeFormReader&, std::FILE*, FreeFormReader&, SeriesTable& t) { t.seriesCount = 0; }
void writePrompt(std::FILE* prompts, const char* text) { std::fprintf(prompts, " %-43s==> ", text); std::fflush(prompts); }
}  // namespace ringsmooth
