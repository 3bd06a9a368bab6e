#include "driver/report.h"

#include <string>

#include "core/text_field.h"

namespace ringsmooth {
namespace {

void writeReportLine(std::FILE* console, const std::string& text) {
  std::fprintf(console, "? %s\n", printable(text).c_str());
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
