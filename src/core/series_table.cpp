#include "core/series_table.h"

#include <cstdlib>
#include <new>

namespace ringsmooth {

void SeriesTableDeleter::operator()(SeriesTable* table) const { std::free(table); }

SeriesTablePtr makeSeriesTable() {
  // SeriesTable is a plain aggregate of numbers and characters, for which all-zero memory from
  // calloc is a valid, fully zeroed object.
  void* memory = std::calloc(1, sizeof(SeriesTable));
  if (memory == nullptr) throw std::bad_alloc();
  return SeriesTablePtr(static_cast<SeriesTable*>(memory));
}

}  // namespace ringsmooth
