#include "core/series_table.h"

#include <sys/mman.h>

#include <new>

namespace ringsmooth {

void SeriesTableDeleter::operator()(SeriesTable* table) const {
  ::munmap(table, sizeof(SeriesTable));
}

SeriesTablePtr makeSeriesTable() {
  // Anonymous pages straight from the system: all zero, and only the pages a table uses are
  // ever touched. SeriesTable is a plain aggregate of numbers and characters, for which zeroed
  // memory is a valid, fully zeroed object.
  void* memory = ::mmap(nullptr, sizeof(SeriesTable), PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) throw std::bad_alloc();
  // Large pages where the system offers them: a full table is 50 MB of page faults otherwise.
  ::madvise(memory, sizeof(SeriesTable), MADV_HUGEPAGE);
  return SeriesTablePtr(static_cast<SeriesTable*>(memory));
}

}  // namespace ringsmooth
