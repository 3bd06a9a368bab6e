#include "driver/dialogue.h"

#include <string>

#include "core/capacities.h"
#include "core/text_field.h"
#include "input/missing_flag.h"
#include "input/rdtabdat.h"

namespace ringsmooth {

void writePrompt(std::FILE* out, const char* text) {
  std::fprintf(out, " %-43s==> ", text);
  std::fflush(out);
}

void Dialogue::askText(const char* prompt, char* field, int width) {
  writePrompt(out_, prompt);
  if (!console_.readText(field, width)) throw console_.error(READ_PAST_END);
}

// A one-letter answer with Y and N folded to lower case.
char Dialogue::askLetter(const char* prompt) {
  char answer = ' ';
  askText(prompt, &answer, 1);
  if (answer == 'Y') return 'y';
  if (answer == 'N') return 'n';
  return answer;
}

bool Dialogue::askInputFile(RunSettings& settings) {
  std::fputc('\n', out_);
  char field[FILE_NAME_LENGTH];
  askText("Enter the input file (/ to exit)", field, FILE_NAME_LENGTH);
  if (field[0] == '/') return false;
  settings.inputFileName = trimmedText(field, FILE_NAME_LENGTH);
  return true;
}

void Dialogue::askOutputFile(RunSettings& settings) {
  char field[FILE_NAME_LENGTH];
  askText("Enter the output file", field, FILE_NAME_LENGTH);
  settings.outputFileName = trimmedText(field, FILE_NAME_LENGTH);
  // A blank answer names no file; the system would only be asked to create "".
  if (settings.outputFileName.empty()) {
    throw console_.error("No output file was named", "the answer was blank");
  }
}

void Dialogue::askTableShape(RunSettings& settings) {
  writePrompt(out_, "Enter number of columns including years");
  int columns = 0;  // an empty answer (a lone comma or slash) leaves it 0: refused below
  if (!console_.readWholeNumber(columns)) throw console_.error(READ_PAST_END);
  if (!validColumnCount(columns)) {
    const std::string message = "Number of columns must be from 1 to " +
                                std::to_string(MAX_SERIES) + " (the year column included)";
    const std::string detail = "the answer was " + std::to_string(columns);
    throw console_.error(message.c_str(), detail.c_str());
  }
  settings.columnCount = columns;

  writePrompt(out_, "Enter missing value flag, e.g., -999.00");
  if (!readMissingFlag(console_, settings.missingFlag)) throw console_.error(READ_PAST_END);
}

int Dialogue::askCutoff() {
  for (;;) {
    std::fputc('\n', out_);
    writePrompt(out_, "Enter the 50% frequency response cutoff");
    int cutoff = 0;
    if (!console_.readWholeNumber(cutoff)) throw console_.error(READ_PAST_END);
    if (cutoff >= 1) return cutoff;
    std::fputs(" The cutoff is a period in years: a whole number of 1 or more.\n", out_);
  }
}

Scaling Dialogue::askScaling() {
  for (;;) {
    const char answer = askLetter("Normalize the input data first? y/n");
    if (answer == 'y') return Scaling::Standardize;
    if (answer == 'n') return Scaling::Centre;
    std::fputs(" Please answer y or n.\n", out_);
  }
}

PlotSpan Dialogue::askPlotSpan() {
  const char answer = askLetter("Maximum x-axis range for all plots? y/n");
  if (answer == 'y') return PlotSpan::Widest;
  if (answer == 'n') return PlotSpan::Listed;
  return PlotSpan::None;
}

void Dialogue::askSmoothing(RunSettings& settings) {
  settings.cutoff = askCutoff();
  settings.scaling = askScaling();
  settings.plotSpan = askPlotSpan();
}

}  // namespace ringsmooth
