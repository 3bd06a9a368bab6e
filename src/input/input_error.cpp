#include "input/input_error.h"

namespace ringsmooth {

namespace {

// One report line; control bytes from the input (escape sequences, bells) are shown as '?' so
// that they never act on the user's terminal.
void writeReportLine(std::FILE* console, const std::string& text) {
  std::fputs("? ", console);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    std::fputc(byte < 0x20 || byte == 0x7f ? '?' : c, console);
  }
  std::fputc('\n', console);
}

}  // namespace

void writeErrorReport(std::FILE* console, const InputError& error) {
  std::fflush(console);
  std::fputc('\n', console);
  writeReportLine(console, error.heading);
  writeReportLine(console, error.message);
  if (!error.detail.empty()) writeReportLine(console, error.detail);
  std::fflush(console);
}

}  // namespace ringsmooth
