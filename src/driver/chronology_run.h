#pragma once
// A batch run's site chronology of a table: built from the indices of its series that the
// run keeps in its index store, then its files, its plot page and its note.
#include <string>
#include <vector>

#include "driver/index_store.h"
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
  // For the table whose indices, and which series take part, the pipeline leaves in `store`.
  explicit TableChronology(const IndexStore& store) : store_(store) {}

  // Builds the chronology, its years shared among up to `jobs` threads, and draws its page
  // into `book` (null: no plots). Returns the note for the table: its years and its largest
  // depth, or that there is none.
  std::string build(const char* title, PlotBook* book, int jobs);

  // Writes the files named in `names` (the CSV first), each whole (output/chronology_files.h).
  // Throws OutputError. Nothing is written when no series had an index.
  void write(const ChronologyOutputNames& names, const std::string& tableName,
             IndexKind index) const;

 private:
  // mean_ and depth_ of the years first .. first + years - 1.
  void buildYears(int first, int years, int jobs);

  const IndexStore& store_;
  int firstYear_ = 0;  // the chronology's: from the first to the last year with an index
  int years_ = 0;
  std::vector<double> mean_;
  std::vector<int> depth_;
};

}  // namespace ringsmooth
