#pragma once
// One plot of a series, its spline and its level line through PLplot.
#include <cstdio>
#include <memory>
#include <string>

#include "core/capacities.h"
#include "core/notes.h"
#include "output/replaced_file.h"
#include "plot/plot_device.h"

namespace ringsmooth {

inline constexpr int PLOT_MAX_POINTS = MAX_YEARS;  // the longest series a plot draws

// The plots' working arrays (the year axis and the double copies PLplot takes), made once and
// handed to every plot.
class PlotWork {
 public:
  PlotWork();
  ~PlotWork();
  PlotWork(const PlotWork&) = delete;
  PlotWork& operator=(const PlotWork&) = delete;

  struct Storage;
  Storage& storage() { return *storage_; }

 private:
  std::unique_ptr<Storage> storage_;
};

// Where plots go and where their console lines go.
struct PlotOutput {
  const PlotDevice* device;
  std::FILE* echo;  // the two range lines of every plot; null: not written
  Notes* notes;     // files written, plots that could not be made
};

// One series' curves: the first n points (clamped to 0..PLOT_MAX_POINTS) against the years
// startYear, startYear + 1, ...
struct SeriesCurves {
  const float* observed;
  const float* smoothed;
  const float* level;
  int n;
  int startYear;
  const char* title;  // NAME_LENGTH characters, blank-padded
  bool standardized;  // the values are standard normal deviates
  // A book's page only: its whole title (NUL-terminated) in place of the series name.
  const char* pageTitle = nullptr;
};

// A table's chronology over its years: the index (a NaN is a gap in its line) and the sample
// depth, drawn against a second y axis. Arrays of `years` doubles.
struct ChronologyCurves {
  const double* yearAxis;
  const double* index;
  const double* depth;
  int years;
  const char* title;  // the whole title, NUL-terminated
  const char* indexLabel = "chronology";  // the index's name in the legend
  double level = 1.0;                     // a horizontal line: the index's mean level
  const unsigned char* weak = nullptr;    // years shaded where not 0 (a weak signal); null: none
};

// Draws one plot in one whole use of the library. Writes the two range lines ("yMax yMin",
// "xMax xMin") on the echo stream; a file device also gets a note naming the file (fileName;
// the plot is skipped with a note when it is empty or cannot be created; the file is written
// under a temporary name and put in place when the plot is whole). Returns when a screen
// plot is dismissed. A fatal error inside PLplot ends this plot with a note, never the program.
void plot1(const float observed[], const float smoothed[], const float level[], int n,
           int startYear, const char title[NAME_LENGTH], bool standardized,
           const PlotOutput& output, const char* fileName, PlotWork& work);

// Many plots as the pages of one file (a PDF of a whole table), in one use of the library,
// drawn to be shown rather than as the dialogue's plots: a light grid, a legend, a y range that
// holds every curve. The file is begun at the first page under a temporary name and put in
// place by close(), which notes it; a book not closed leaves no file. A fatal error inside
// PLplot ends the book with a note and no file; later pages are skipped.
class PlotBook {
 public:
  PlotBook(const PlotOutput& output, std::string fileName)
      : output_(output), fileName_(std::move(fileName)) {}
  ~PlotBook();
  PlotBook(const PlotBook&) = delete;
  PlotBook& operator=(const PlotBook&) = delete;

  void page(const SeriesCurves& curves);
  void chronologyPage(const ChronologyCurves& curves);
  void close();

 private:
  const PlotOutput& output_;
  std::string fileName_;
  ReplacedFile file_;
  PlotWork work_;
  bool open_ = false;
  bool failed_ = false;
  int pages_ = 0;

  template <typename Draw>
  void addPage(const char* windowTitle, Draw draw);
};

}  // namespace ringsmooth
