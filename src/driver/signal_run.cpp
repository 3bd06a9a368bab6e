#include "driver/signal_run.h"

#include <algorithm>
#include <cstdio>

#include "analysis/series_stats.h"
#include "output/stats_files.h"
#include "output/whole_file.h"

namespace ringsmooth {

bool TableSignal::build() {
  const IndexStore& t = store_;
  const TakingSpan taking = t.takingSpan();
  seriesTaking_ = taking.series;
  if (seriesTaking_ < 2) return false;
  const int first = taking.first;
  const int last = taking.last;
  SignalWork work;
  allYears_ = signalStats(t.indices(), first, last, PAIR_COMMON_YEARS, work);
  windowYears_ = std::min(window_, last - first + 1);
  runningSignal(t.indices(), first, last - first + 1, window_, windows_, work);
  return true;
}

namespace {

std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

std::string TableSignal::titleWords() const {
  if (seriesTaking_ < 2 || allYears_.pairs == 0) return "";
  return ": rbar " + fixed(allYears_.rbar, 3) + ", EPS " + fixed(allYears_.eps, 3);
}

std::string TableSignal::note() const {
  if (seriesTaking_ < 2) {
    return "No signal statistics: they need two series with indices, the table has " +
           std::to_string(seriesTaking_) + ".";
  }
  const SignalStats& a = allYears_;
  if (a.pairs == 0) {
    return "No signal statistics: no two series have indices in " +
           std::to_string(PAIR_COMMON_YEARS) + " common years.";
  }
  std::string note = "Signal of all years: rbar " + fixed(a.rbar, 3) + ", EPS " +
                     fixed(a.eps, 3) + ", SNR " + fixed(a.snr, 1) + " (" +
                     std::to_string(a.series) + " series, " + std::to_string(a.pairs) +
                     (a.pairs == 1 ? " pair); " : " pairs); ");
  const std::string window = std::to_string(windowYears_) + "-year window";
  int from = 0;
  if (windows_.empty()) return note + "no " + window + " has a pair of series.";
  if (trustedFrom(windows_.data(), static_cast<int>(windows_.size()), from)) {
    return note + "EPS at least " + fixed(EPS_ENOUGH, 2) + " in every " + window + " from " +
           std::to_string(from) + " on.";
  }
  const SignalStats& lastWindow = windows_.back();
  return note + "EPS below " + fixed(EPS_ENOUGH, 2) + " in the last " + window + " (" +
         std::to_string(lastWindow.first) + " to " + std::to_string(lastWindow.last) + ").";
}

void TableSignal::weakYears(int firstYear, int years, unsigned char weak[]) const {
  ringsmooth::weakYears(windows_.data(), static_cast<int>(windows_.size()), firstYear, years,
                        weak);
}

void TableSignal::write(const std::string& name) const {
  writeWholeFile(name, signalCsvText(allYears_, windows_.data(), static_cast<int>(windows_.size())),
                 "the statistics");
}

void writeSeriesSummaries(const SeriesTable& table, const std::string& name) {
  std::vector<SeriesSummary> summary(static_cast<std::size_t>(table.seriesCount));
  std::vector<double> scratch(MAX_YEARS);
  for (int k = 0; k < table.seriesCount; ++k) {
    summary[k] = seriesSummary(table.column(k),
                               table.yearCount[k], table.firstYear[k],
                               static_cast<double>(table.missingFlag), scratch.data());
  }
  writeWholeFile(name, seriesCsvText(table, summary.data()), "the series statistics");
}

}  // namespace ringsmooth
