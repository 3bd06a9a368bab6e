#include "input/input_error.h"

namespace ringsmooth {

void writeErrorReport(std::FILE* console, const InputError& error) {
  std::fflush(console);
  std::fprintf(console, "\n? %s\n? %s\n", error.heading.c_str(), error.message.c_str());
  if (!error.detail.empty()) std::fprintf(console, "? %s\n", error.detail.c_str());
  std::fflush(console);
}

}  // namespace ringsmooth
