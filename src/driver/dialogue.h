#pragma once
// The run's questions at the console, all asked from here, in the order the run needs the
// answers: the two files, the table's shape, then how to smooth. Each answer goes into the one
// RunSettings value of the run.
#include <cstdio>

#include "driver/settings.h"
#include "input/free_form.h"

namespace ringsmooth {

class Dialogue {
 public:
  Dialogue(FreeFormReader& console, std::FILE* out) : console_(console), out_(out) {}

  // An empty line, then "Enter the input file (/ to exit)". False when the answer begins with
  // "/": the run ends at once.
  bool askInputFile(RunSettings& settings);
  // "Enter the output file"; a blank answer is an input error.
  void askOutputFile(RunSettings& settings);
  // "Enter number of columns including years" (1 to MAX_SERIES, else an input error) and
  // "Enter missing value flag, e.g., -999.00" (an answer with no number in it is an error).
  void askTableShape(RunSettings& settings);
  // An empty line, then the cutoff (asked again until it is 1 or more), normalizing (asked again
  // until y or n) and the plot range (y widest, n the listed years, any other answer no plots; Y
  // and N fold to lower case).
  void askSmoothing(RunSettings& settings);

 private:
  void askText(const char* prompt, char* field, int width);
  char askLetter(const char* prompt);
  int askCutoff();
  Scaling askScaling();
  PlotSpan askPlotSpan();

  FreeFormReader& console_;
  std::FILE* out_;
};

// Writes a prompt: one blank, `text` from column 2, blanks to column 44, "==> " in columns 45 to
// 48, no line end; flushed.
void writePrompt(std::FILE* out, const char* text);

}  // namespace ringsmooth
