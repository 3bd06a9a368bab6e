#pragma once
// Where a table's run keeps the indices of its listed series for the chronology.
#include <memory>

#include "analysis/chronology.h"
#include "core/capacities.h"

namespace ringsmooth {

// Laid out as the table's columns: series k's index of the year firstYear[k] + i is
// values[k * MAX_YEARS + i] for i in [0, yearCount[k]), NaN where it has none. Made once for a
// table's run out of zero pages, so that only the columns written to are ever touched.
struct IndexStore {
  double values[MAX_YEARS * MAX_SERIES];
  int firstYear[MAX_SERIES];
  int yearCount[MAX_SERIES];
  unsigned char taking[MAX_SERIES];  // 1 for a series written with its indices
  int seriesCount;                   // the table's

  double* column(int k) { return values + static_cast<long>(k) * MAX_YEARS; }
  // The indices of the series taking part, for the chronology.
  SeriesIndices indices() const {
    return SeriesIndices{values, MAX_YEARS, firstYear, yearCount, taking, seriesCount};
  }
};

struct IndexStoreDeleter {
  void operator()(IndexStore* store) const;
};
using IndexStorePtr = std::unique_ptr<IndexStore, IndexStoreDeleter>;

// A store for a table of `seriesCount` series, every index zero and no series taking part.
// Throws std::bad_alloc when there is no room.
IndexStorePtr makeIndexStore(int seriesCount);

}  // namespace ringsmooth
