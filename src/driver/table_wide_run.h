#pragma once
// What a batch run makes of a table's series once they are all written: the chronology and its
// pages, the signal statistics, the series' summaries and the index table; their notes.
#include <optional>
#include <string>
#include <vector>

#include "core/notes.h"
#include "core/series_table.h"
#include "driver/chronology_run.h"
#include "driver/index_store.h"
#include "driver/settings.h"
#include "driver/signal_run.h"
#include "plot/plot1.h"

namespace ringsmooth {

// The table as a page title names it: its file name without folder and extension ("ca533"),
// "standard input" for "-".
std::string shownTableName(const std::string& inputFileName);

class TableWideOutputs {
 public:
  // For `table`, whose series' indices the run keeps in `indices`.
  TableWideOutputs(const RunSettings& settings, const SeriesTable& table,
                   const IndexStore& indices)
      : settings_(settings), table_(table), indices_(indices), signal_(indices, settings.window) {}

  // Computes what the settings ask for, the work shared among up to `jobs` threads, and draws
  // the chronology's pages into `book` (null: no plots).
  void build(PlotBook* book, int jobs);

  // The table's notes, then its files, each whole: the statistics, the index table, the
  // chronology (whose .crn, carrying `site`, may be refused after the rest is written). Throws
  // OutputError.
  void write(Notes& notes, const SiteHeader& site) const;

 private:
  void drawChronology(PlotBook& book);

  const RunSettings& settings_;
  const SeriesTable& table_;
  const IndexStore& indices_;
  std::optional<TableChronology> chronology_;
  std::string chronologyNote_;
  TableSignal signal_;
  bool signalBuilt_ = false;
};

}  // namespace ringsmooth
