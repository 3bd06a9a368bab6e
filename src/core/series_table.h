#pragma once
// Every series of the input table, filled once by the reader and kept for the whole run.
#include <memory>

#include "core/capacities.h"

namespace ringsmooth {

// Series k (counted from 0) is column k of `values`: column(k)[i], that is values[k * MAX_YEARS +
// i], is its value for the year firstYear[k] + i. Once read, the table is not changed: a series' trimmed span and
// its indices are the per-series pipeline's results.
struct SeriesTable {
  double values[MAX_YEARS * MAX_SERIES];  // 56 MB, 0.0 before the reader runs
  int firstYear[MAX_SERIES];
  int lastYear[MAX_SERIES];
  int yearCount[MAX_SERIES];  // lastYear - firstYear + 1; 0 for a series with no present value
  int seriesCount;
  char seriesName[MAX_SERIES][NAME_LENGTH];  // blank-padded, not terminated
  float missingFlag;                         // a value equal to it is missing

  double* column(int k) { return values + static_cast<long>(k) * MAX_YEARS; }
  const double* column(int k) const { return values + static_cast<long>(k) * MAX_YEARS; }
};

struct SeriesTableDeleter {
  void operator()(SeriesTable* table) const;
};
using SeriesTablePtr = std::unique_ptr<SeriesTable, SeriesTableDeleter>;

// A table with every element zero. Its memory comes from the system as zero pages, so only the
// pages a table actually uses are ever touched. Throws std::bad_alloc when there is no room.
SeriesTablePtr makeSeriesTable();

}  // namespace ringsmooth
