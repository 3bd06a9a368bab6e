#pragma once
// The answers a run works with, whether the dialogue asked for them or a command line gave them.
#include <optional>
#include <string>
#include <vector>

#include "input/series_file.h"

namespace ringsmooth {

enum class OutputFormat { Listing, Csv };  // the fixed-width listing, or RFC 4180 CSV
inline constexpr int OUTPUT_FORMATS = 2;
enum class Ends { Predict, None };         // extend both ends by prediction, or smooth as is

struct RunSettings {
  std::string inputFileName;   // without trailing blanks; "-" is standard input (batch runs)
  std::string outputFileName;  // without trailing blanks; "-" is standard output (batch runs)
  int columnCount = 0;         // the table's columns, the year column included; 0: as many
                               // as the header's first line names (batch runs)
  float missingFlag = -999.0f;  // a cell equal to it is missing
  int cutoff = 0;               // years; at least 1 once accepted
  char normalizeAnswer = ' ';   // 'y' or 'n'
  char plotRangeAnswer = ' ';   // 'y' (widest range), 'n' (listed years), anything else no plots
  std::vector<OutputFormat> formats = {OutputFormat::Listing};  // each once, in the order asked
  Ends ends = Ends::Predict;
  std::string plotDevice;  // a PLplot device name; empty: RINGSMOOTH_PLOT_DEVICE, or the default
  std::optional<InputFormat> inputFormat;  // none: by the input file's name
};

}  // namespace ringsmooth
