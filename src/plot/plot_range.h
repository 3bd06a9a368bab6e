#pragma once
// The window of a series plot: the y range of the series and its spline, the x range of years.
#include <cstdio>

namespace ringsmooth {

struct PlotRange {
  float yMin;
  float yMax;
  float xMin;
  float xMax;
};

// Ranges of the first n points (n >= 0, the caller clamps it), in single precision: yMin starts
// at 100000 and yMax at -100000 and move only on a strictly smaller / larger value of observed
// or smoothed, so NaN never changes them and values beyond +-100000 leave the start value on
// the other side. xMin = startYear, xMax = startYear + n - 1. `level` takes no part.
void plotRange(const float observed[], const float smoothed[], int n, int startYear,
               PlotRange& range);

// yearAxis[i] = startYear + i for i in [0, n), rounded to single precision.
void fillYearAxis(int n, int startYear, float yearAxis[]);

// Writes the two range lines, " yMax yMin" then " xMax xMin", each number in the shortest form
// that reads back as the same float.
void writeRangeLines(const PlotRange& range, std::FILE* console);

}  // namespace ringsmooth
