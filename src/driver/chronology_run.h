#pragma once
// A batch run's site chronology of a table: built from the indices of its series that the
// run keeps in its index store, then its files, its plot page and its note.
#include <string>
#include <vector>

#include "core/site_header.h"
#include "driver/index_store.h"
#include "driver/settings.h"
#include "plot/plot1.h"

namespace ringsmooth {

// The names of a table's chronology files; empty for a file not asked for.
struct ChronologyOutputNames {
  std::string crn;  // <stem>.crn
  std::string csv;  // <stem>.chron.csv
};

// A chronology page's words and marks besides its curves.
struct ChronologyPage {
  std::string title;          // "Chronology of ca533: rbar 0.401, EPS 0.958"
  double level;               // the index's mean level: 1 for ratios, 0 for differences
  const unsigned char* weak;  // per year: shaded where not 0; null: none
};

class TableChronology {
 public:
  // For the table whose indices, and which series take part, the pipeline leaves in `store`.
  explicit TableChronology(const IndexStore& store) : store_(store) {}

  // Builds the chronology and, when `residual`, the residual chronology, the work shared
  // among up to `jobs` threads. Returns the note for the table: its years and its largest
  // depth, or that there is none.
  std::string build(bool residual, int jobs);

  // The chronology's years: from the first to the last with an index (none: years() is 0).
  int firstYear() const { return firstYear_; }
  int years() const { return years_; }

  // Draws the chronology's page and then the residual chronology's into `book`, each as
  // `page` says (the residual page without shading); nothing when there is no chronology.
  void draw(PlotBook& book, const ChronologyPage& page, const std::string& residualTitle) const;

  // Writes the files named in `names` (the CSV first), each whole (output/chronology_files.h).
  // Throws OutputError. Nothing is written when no series had an index.
  // The .crn carries `site`.
  void write(const ChronologyOutputNames& names, const SiteHeader& site) const;

 private:
  // mean[] and depth[] of the years first .. first + years - 1 from `in`.
  void buildYears(const SeriesIndices& in, int first, int years, int jobs, double mean[],
                  int depth[]);
  // Each series' residuals in columns of their own, then their chronology over the years
  // of the chronology.
  void buildResidual(int jobs);

  const IndexStore& store_;
  long indices_ = 0;   // the years the series taking part hold: whether threads pay
  int firstYear_ = 0;  // the chronology's: from the first to the last year with an index
  int years_ = 0;
  std::vector<double> mean_;
  std::vector<int> depth_;
  std::vector<double> residual_;  // the residual chronology's index; empty when not built
};

}  // namespace ringsmooth
