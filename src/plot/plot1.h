#pragma once
// One plot of a series, its spline and its level line through PLplot.
#include <cstdio>
#include <memory>

#include "core/capacities.h"
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

// Draws one plot of the first n points (clamped to 0..PLOT_MAX_POINTS) of the three curves
// against the years startYear, startYear + 1, ... Writes the two range lines ("yMax yMin",
// "xMax xMin") on `console`; a file device also gets a line naming the file (fileName; the plot
// is skipped with a note when it is empty or cannot be created). Returns when a screen plot is
// dismissed. A fatal error inside PLplot ends this plot with a note, never the program.
void plot1(const float observed[], const float smoothed[], const float level[], int n,
           int startYear, const char title[NAME_LENGTH], char normalized,
           const PlotDevice& device, const char* fileName, std::FILE* console, PlotWork& work);

}  // namespace ringsmooth
