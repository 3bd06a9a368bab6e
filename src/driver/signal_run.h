#pragma once
// A batch run's statistics of a table (--stats): the signal its series' indices share (rbar,
// EPS and SNR over all years and in running windows), which also marks the chronology's pages,
// and the summary of each series as read; their files and their note.
#include <string>
#include <vector>

#include "analysis/signal.h"
#include "core/series_table.h"
#include "driver/index_store.h"

namespace ringsmooth {

// The names of a table's statistics files; empty when not asked for.
struct StatisticsOutputNames {
  std::string signal;  // <stem>.stats.csv
  std::string series;  // <stem>.series.csv
};

class TableSignal {
 public:
  // For the indices the pipeline leaves in `store`, in windows of `window` years.
  TableSignal(const IndexStore& store, int window) : store_(store), window_(window) {}

  // Computes the statistics over the years from the first to the last of the series taking
  // part, and in the windows over them. Returns false, computing nothing, when fewer than two
  // series take part.
  bool build();

  // The note for the table: rbar, EPS and SNR over all years and the year from which every
  // window's EPS is at least 0.85; or why there are none.
  std::string note() const;
  // ": rbar 0.401, EPS 0.958" for a chronology page's title; "" without a pair of series.
  std::string titleWords() const;
  // weak[j] for the years firstYear + j, j in [0, years): shaded where the windows' EPS is
  // below 0.85 or no window covers the year.
  void weakYears(int firstYear, int years, unsigned char weak[]) const;

  // Writes the statistics as `name` (output/stats_files.h), whole. Throws OutputError.
  void write(const std::string& name) const;

 private:
  const IndexStore& store_;
  int window_;
  int seriesTaking_ = 0;
  int windowYears_ = 0;  // the windows' length: window_, or the years when fewer
  SignalStats allYears_{};
  std::vector<SignalStats> windows_;
};

// Writes the summary of each series of `table` as read (analysis/series_stats.h) as `name`,
// whole. Throws OutputError.
void writeSeriesSummaries(const SeriesTable& table, const std::string& name);

}  // namespace ringsmooth
