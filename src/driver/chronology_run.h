#pragma once
// A batch run's site chronology of a table: its series' indices gathered year by year as they
// are written, then the chronology built from them, its files, its plot page and its note.
#include <memory>
#include <string>
#include <vector>

#include "core/series_table.h"
#include "driver/series_pipeline.h"
#include "driver/settings.h"
#include "plot/plot1.h"

namespace ringsmooth {

// The names of a table's chronology files; empty for a file not asked for.
struct ChronologyOutputNames {
  std::string crn;  // <stem>.crn
  std::string csv;  // <stem>.chron.csv
};

// The chronology files of a table whose outputs are named after `stem` (a path without
// extension).
ChronologyOutputNames chronologyOutputs(const std::string& stem, ChronologyFiles files);

class TableChronology {
 public:
  // Room for the indices of every series of `table` as read (before the pipeline trims its
  // spans), made once for the table: each year has a place for every series that covers it.
  explicit TableChronology(const SeriesTable& table);

  // Where the pipeline's writer puts each listed series' indices.
  const IndexStore* store() const { return &store_; }

  // Builds the chronology and draws its page into `book` (null: no plots). Returns the note
  // for the table: its years and its largest depth, or that there is none.
  std::string build(const char* title, PlotBook* book);

  // Writes the files named in `names` (the CSV first), each whole. Throws InputError when a
  // file can't be written, and for a .crn whose index (or year) 4 columns can't hold, naming
  // the year, after the CSV is written. Nothing is written when no series had an index.
  void write(const ChronologyOutputNames& names, const std::string& tableName,
             IndexKind index) const;

 private:
  int tableFirstYear_ = 0;
  std::vector<long> start_;  // per year of the table's span; one more at the end
  std::vector<int> depth_;
  std::unique_ptr<double[]> values_;
  IndexStore store_{};
  int firstYear_ = 0;  // the chronology's: from the first to the last year with an index
  int years_ = 0;
  std::vector<double> mean_;
};

}  // namespace ringsmooth
