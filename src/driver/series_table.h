#pragma once
// The run's fixed storage: every series of the input table and the answers of the dialogue.

namespace ringsmooth {

inline constexpr int MAX_YEARS = 10000;  // positions per series; also the longest spline
inline constexpr int MAX_SERIES = 700;   // table columns, the year column included
inline constexpr int NAME_LENGTH = 20;   // a series name, blank-padded
inline constexpr int FILE_NAME_LENGTH = 40;

// Filled once by rdtabdat and kept for the whole run. Series k (counted from 0 here) is column k
// of `values`: values[k * MAX_YEARS + i] is its value for the year firstYear[k] + i.
// The per-series pipeline rewrites firstYear, lastYear and yearCount when it trims a series.
struct SeriesTable {
  double values[MAX_YEARS * MAX_SERIES];  // 56 MB, 0.0 before the reader runs
  int firstYear[MAX_SERIES];
  int lastYear[MAX_SERIES];
  int yearCount[MAX_SERIES];  // lastYear - firstYear + 1; 0 for a series with no present value
  int seriesCount;
  char seriesName[MAX_SERIES][NAME_LENGTH];  // blank-padded, not terminated
  float missingFlag;                         // a value equal to it is missing
};

// The answers collected before the first series is processed.
struct RunSettings {
  char inputFileName[FILE_NAME_LENGTH];   // blank-padded, not terminated
  char outputFileName[FILE_NAME_LENGTH];  // blank-padded, not terminated
  int cutoff;                             // years; at least 1 once the dialogue has accepted it
  char normalizeAnswer;                   // 'y' or 'n'
  char plotRangeAnswer;                   // 'y', 'n', or anything else for no plots
};

}  // namespace ringsmooth
