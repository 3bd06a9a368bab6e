#pragma once
// The answers a run works with, whether the dialogue asked for them or a command line gave them.
#include <string>

namespace ringsmooth {

struct RunSettings {
  std::string inputFileName;   // without trailing blanks
  std::string outputFileName;  // without trailing blanks
  int columnCount = 0;         // the table's columns, the year column included
  float missingFlag = 0.0f;    // a cell equal to it is missing
  int cutoff = 0;              // years; at least 1 once accepted
  char normalizeAnswer = ' ';  // 'y' or 'n'
  char plotRangeAnswer = ' ';  // 'y' (widest range), 'n' (listed years), anything else no plots
};

}  // namespace ringsmooth
