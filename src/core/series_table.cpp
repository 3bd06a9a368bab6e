#include "core/series_table.h"

#include "core/zero_pages.h"

namespace ringsmooth {

void SeriesTableDeleter::operator()(SeriesTable* table) const {
  releasePages(table, sizeof(SeriesTable));
}

SeriesTablePtr makeSeriesTable() {
  // SeriesTable is a plain aggregate of numbers and characters, for which zeroed memory is a
  // valid, fully zeroed object. Large pages: a full table is 50 MB of page faults otherwise.
  return SeriesTablePtr(static_cast<SeriesTable*>(zeroPages(sizeof(SeriesTable), true)));
}

}  // namespace ringsmooth
