#pragma once
// The answers a run works with, whether the dialogue asked for them or a command line gave them.
#include <optional>
#include <string>
#include <vector>

#include "analysis/index.h"
#include "input/series_file.h"
#include "output/series_output_file.h"

namespace ringsmooth {

enum class Ends { Predict, None };  // extend both ends by prediction, or smooth as is

// The normalize question's answers: n, remove the series' mean and add it back after; y,
// standard normal deviates.
enum class Scaling { Centre, Standardize };

// The plot-range question's answers: y, the span as the table gives it; n, the listed years;
// anything else, no plots.
enum class PlotSpan { None, Listed, Widest };

// The length of the prediction-error filter, or the years predicted at each end (batch runs'
// --filter and --predict): the cutoff's own length, as the dialogue takes it; a number of years;
// a share of each series' length, as a relative cutoff takes it; or, for the filter alone, the
// order an information criterion picks for each series.
struct EndLength {
  enum class Kind { Cutoff, Years, Percent, Auto };
  Kind kind = Kind::Cutoff;
  int value = 0;  // years, or percent
  bool operator==(const EndLength&) const = default;
};

// The chronology files a batch run writes for each table.
struct ChronologyFiles {
  bool crn = false;  // <stem>.crn, a Tucson chronology file
  bool csv = false;  // <stem>.chron.csv
  bool any() const { return crn || csv; }
};

struct RunSettings {
  std::string inputFileName;   // without trailing blanks; "-" is standard input (batch runs)
  std::string outputFileName;  // without trailing blanks; "-" is standard output (batch runs)
  int columnCount = 0;         // the table's columns, the year column included; 0: as many
                               // as the header's first line names (batch runs)
  float missingFlag = -999.0f;  // a cell equal to it is missing
  int cutoff = 0;               // years; at least 1 once accepted, unless cutoffPercent is set
  int cutoffPercent = 0;        // batch runs: 1..1000 gives each series that percentage of its
                                // length as its cutoff; 0: the cutoff in years holds
  Scaling scaling = Scaling::Centre;
  PlotSpan plotSpan = PlotSpan::None;
  std::vector<OutputFormat> formats = {OutputFormat::Listing};  // each once, in the order asked
  Ends ends = Ends::Predict;    // batch runs: none by default with a relative cutoff
  EndLength filter{};           // the prediction-error filter's order
  EndLength predict{};          // the years predicted at each end
  std::string plotDevice;  // a PLplot device name; empty: RINGSMOOTH_PLOT_DEVICE, or the default
  std::optional<InputFormat> inputFormat;  // none: by the input file's name
  IndexKind index = IndexKind::Ratio;       // the CSV's index column and the chronology's
  ChronologyFiles chronology;               // none in the dialogue
  bool indexTable = false;  // -f rwi: <stem>.rwi.csv, the indices year by year, a column a series
  bool stats = false;       // --stats: <stem>.stats.csv (rbar, EPS, SNR) and <stem>.series.csv
  int window = 50;          // the running windows' years (--window)
};

}  // namespace ringsmooth
