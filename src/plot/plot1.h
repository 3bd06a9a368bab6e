#pragma once
// One plot of a series, its spline and its level line through PLplot.
#include <cstdio>

namespace ringsmooth {

inline constexpr int PLOT_MAX_POINTS = 10000;

// Where the plots go. Chosen once per run by choosePlotDevice.
struct PlotDevice {
  char name[64];        // a PLplot device name: "xwin", "pngcairo", "svg", ...
  char extension[8];    // file extension for a file device ("png", "svg", ...); "" for a screen
  bool interactive;     // a screen device that waits for the user before plend returns
};

// Picks the device: RINGSMOOTH_PLOT_DEVICE if set, known to PLplot and usable here (a screen
// device also needs a reachable X display); unset, "xwin" when an X display is reachable,
// otherwise "pngcairo". A name that cannot be used gets a one-line note on `console` and
// plots go to PNG files ("pngcairo"; "svg" or "psc" if the cairo driver is missing).
// Never lets PLplot ask on standard input.
void choosePlotDevice(PlotDevice& device, std::FILE* console);

// The file a plot of series `seriesNumber` (from 1) goes to on a file device: the listing name
// without its extension, "-", the number, ".", the device's extension. Empty for a screen.
// Writes at most `size` bytes including the terminating zero.
void plotFileName(const PlotDevice& device, const char* listingName, int seriesNumber,
                  char* fileName, int size);

// Draws one plot (capacity is the declared length of the arrays, n the points drawn, clamped to
// 0..PLOT_MAX_POINTS). Writes the two range lines ("yMax yMin", "xMax xMin") on `console`;
// a file device also gets a line naming the file (fileName; the plot is skipped with a note
// when it is empty or cannot be created). Returns when a screen plot is dismissed. A fatal
// error inside PLplot ends this plot with a note, never the program.
void plot1(int capacity, const float observed[], const float smoothed[], const float level[],
           int n, int startYear, const char title[20], char normalized,
           const PlotDevice& device, const char* fileName, std::FILE* console);

}  // namespace ringsmooth
