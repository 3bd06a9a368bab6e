#pragma once
// The values of the command line's options that take more than a word. Each reads `value` into
// its setting and returns "", or else what was expected instead ("a whole number of 1 or more")
// and leaves the setting as it was.
#include <string>
#include <vector>

#include "driver/settings.h"
#include "output/series_output_file.h"

namespace ringsmooth {

// A whole number from `lowest` to `highest` (INT_MAX: no highest).
std::string readWholeNumber(const std::string& value, int lowest, int highest, int& setting);

// A cutoff in years (a whole number of 1 or more; `percent` set to 0), or "N%" from 1% to
// 1000% of each series' length (`years` set to 0).
std::string readCutoff(const std::string& value, int& years, int& percent);

// A filter order or a number of predicted years: a whole number of 1 or more, or "N%" from 1% to
// 1000% of each series' length, or (when `autoAllowed`) "auto".
std::string readEndLength(const std::string& value, bool autoAllowed, EndLength& length);

// Formats separated by commas, each once: the series' block formats in the order given, and
// `indexTable` set by "rwi" (which may stand alone: no block format).
std::string readFormats(const std::string& value, std::vector<OutputFormat>& formats,
                        bool& indexTable);

// The missing-value flag, read as the dialogue reads its answer, so that both take the same
// flags; returns "" or the reader's words for the problem.
std::string readMissingFlag(const std::string& value, float& flag);

}  // namespace ringsmooth
