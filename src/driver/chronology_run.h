#pragma once
// A batch run's site chronology of a table: built from the indices its series leave in the
// table, then its files, its plot page and its note.
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
  // For `table`, whose series' indices the pipeline leaves in their columns.
  explicit TableChronology(const SeriesTable& table);

  // Where the pipeline's writer marks each series written with its indices.
  unsigned char* writtenSeries() { return taking_.data(); }

  // Builds the chronology, its years shared among up to `jobs` threads, and draws its page
  // into `book` (null: no plots). Returns the note for the table: its years and its largest
  // depth, or that there is none.
  std::string build(const char* title, PlotBook* book, int jobs);

  // Writes the files named in `names` (the CSV first), each whole. Throws InputError when a
  // file can't be written, and for a .crn whose index (or year) 4 columns can't hold, naming
  // the year, after the CSV is written. Nothing is written when no series had an index.
  void write(const ChronologyOutputNames& names, const std::string& tableName,
             IndexKind index) const;

 private:
  // mean_ and depth_ of the years first .. first + years - 1.
  void buildYears(int first, int years, int jobs);

  const SeriesTable& table_;
  std::vector<unsigned char> taking_;  // per series: its indices take part
  int firstYear_ = 0;  // the chronology's: from the first to the last year with an index
  int years_ = 0;
  std::vector<double> mean_;
  std::vector<int> depth_;
};

}  // namespace ringsmooth
