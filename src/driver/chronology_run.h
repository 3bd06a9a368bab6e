#pragma once
// A batch run's site chronology of a table: its series' indices kept as they are written, then
// the chronology built from them, its files, its plot page and its note.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

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
  // Room for the indices of `seriesCount` series, made once for the table.
  explicit TableChronology(int seriesCount);

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
  int seriesCount_;
  std::unique_ptr<double[]> index_;
  std::vector<int> seriesFirstYear_;
  std::vector<int> seriesYearCount_;
  IndexStore store_;
  int firstYear_ = 0;  // the chronology's
  int years_ = 0;
  std::vector<double> value_;
  std::vector<int> depth_;
};

}  // namespace ringsmooth
