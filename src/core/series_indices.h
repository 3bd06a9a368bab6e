#pragma once
// A table's indices as the run keeps them, for the routines that read them series by series.

namespace ringsmooth {

// The indices of a table's series, series by series: series k's index of the year
// firstYear[k] + i is values[k * stride + i] for i in [0, yearCount[k]), NaN where it has
// none. Only the series with taking[k] != 0 take part.
struct SeriesIndices {
  const double* values;
  long stride;
  const int* firstYear;
  const int* yearCount;
  const unsigned char* taking;
  int seriesCount;
};

}  // namespace ringsmooth
