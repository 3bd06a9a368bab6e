#include "driver/report.h"

#include <string>

namespace ringsmooth {
namespace {

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
  std::fputc('\n', console);
  writeReportLine(console, error.heading);
  writeReportLine(console, error.message);
  if (!error.detail.empty()) writeReportLine(console, error.detail);
  std::fflush(console);
}

void writeSplineLengthMessage(std::FILE* console) {
  std::fputs(
      "\n"
      " *** series too long for spline subroutine ***\n"
      "  *** enlarge mxy parameter in subroutine ***\n"
      "\n",
      console);
  std::fflush(console);
}

void writeSplineNotSolvedMessage(std::FILE* console) {
  std::fputs(">> sbr spline: matrix not positive definite\n", console);
}

}  // namespace ringsmooth
