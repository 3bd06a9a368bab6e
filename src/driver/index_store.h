#pragma once
// Where a table's run keeps the indices of its listed series for the chronology.
#include <memory>

#include "core/capacities.h"
#include "core/series_indices.h"

namespace ringsmooth {

// The series taking part, those of no year left out: how many, the years from the first of
// them to the last, and how many years they hold together.
struct TakingSpan {
  int series = 0;
  int first = 0;
  int last = 0;
  long years = 0;
};

// Series k's index of the year firstYear[k] + i is values[k * stride + i] for i in
// [0, yearCount[k]), NaN where it has none; stride is the table's longest series (as the
// reader delivered it), so that the columns lie one after another with no gap between them.
struct IndexStore {
  double* values;
  long stride;
  int firstYear[MAX_SERIES];
  int yearCount[MAX_SERIES];
  unsigned char taking[MAX_SERIES];  // 1 for a series written with its indices
  int seriesCount;                   // the table's

  double* column(int k) { return values + k * stride; }
  const double* column(int k) const { return values + k * stride; }
  // The indices of the series taking part, for the chronology.
  SeriesIndices indices() const {
    return SeriesIndices{values, stride, firstYear, yearCount, taking, seriesCount};
  }
  // The series taking part and their years.
  TakingSpan takingSpan() const;
};

struct IndexStoreDeleter {
  void operator()(IndexStore* store) const;
};
using IndexStorePtr = std::unique_ptr<IndexStore, IndexStoreDeleter>;

// A store for a table of `seriesCount` series of at most `longestSeries` years each, every
// index zero and no series taking part. Throws std::bad_alloc when there is no room.
IndexStorePtr makeIndexStore(int seriesCount, int longestSeries);

}  // namespace ringsmooth
