// The residual chronology, rbar/EPS/SNR and the series statistics of ca533 and co021 against
// dplR's, fed dplR's own indices. reference/ holds, trimmed from dplR's output: SITE.value.csv
// and SITE.index.csv, wide tables of the values as read and of the spline indices (50% at
// floor(0.67 n) years, no end extension); SITE.res.csv, chron()'s residual chronology;
// SITE.signal.csv, rwi.stats() then rwi.stats.running(); SITE.series.csv, rwl.stats().
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/ar_model.h"
#include "analysis/chronology.h"
#include "analysis/series_stats.h"
#include "analysis/signal.h"

namespace ringsmooth {
namespace {

const double NONE = NAN;

// The numbers of a CSV file after its header, row by row; an empty or text cell is NaN.
std::vector<std::vector<double>> csvRows(const std::string& name) {
  std::ifstream file(std::string(RINGSMOOTH_SOURCE_DIR) + "/tests/analysis/reference/" + name);
  std::vector<std::vector<double>> rows;
  std::string line;
  std::getline(file, line);
  while (std::getline(file, line)) {
    std::vector<double>& row = rows.emplace_back();
    std::stringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) {
      char* end = nullptr;
      const double value = std::strtod(cell.c_str(), &end);
      row.push_back(cell.empty() || *end != '\0' ? NONE : value);
    }
    if (line.back() == ',') row.push_back(NONE);
  }
  EXPECT_FALSE(rows.empty()) << name;
  return rows;
}

// A wide table (a year column, a column per series) as the routines take it: each series from
// its first to its last year with a number.
struct Wide {
  explicit Wide(const std::vector<std::vector<double>>& rows)
      : firstYear(static_cast<int>(rows[0][0])), years(static_cast<int>(rows.size())),
        series(static_cast<int>(rows[0].size()) - 1), values(series * years, NONE),
        first(series), count(series, 0), taking(series, 1) {
    for (int k = 0; k < series; ++k) {
      for (int j = 0; j < years; ++j) {
        if (std::isnan(rows[j][k + 1])) continue;
        if (count[k] == 0) first[k] = firstYear + j;
        count[k] = firstYear + j - first[k] + 1;
        values[k * years + firstYear + j - first[k]] = rows[j][k + 1];
      }
    }
  }
  SeriesIndices indices() const {
    return {values.data(), years, first.data(), count.data(), taking.data(), series};
  }
  int firstYear, years, series;
  std::vector<double> values;
  std::vector<int> first, count;
  std::vector<unsigned char> taking;
};

void expectNear(double value, double expected, double tolerance, const char* what) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(value)) << what;
  } else {
    EXPECT_NEAR(value, expected, tolerance * std::max(1.0, std::fabs(expected))) << what;
  }
}

void expectSignal(const SignalStats& s, const std::vector<double>& row) {
  EXPECT_EQ(s.first, row[0]);
  EXPECT_EQ(s.last, row[1]);
  EXPECT_EQ(s.series, row[2]) << s.first;
  EXPECT_EQ(s.pairs, row[3]) << s.first;
  expectNear(s.rbar, row[4], 1e-6, "rbar");
  expectNear(s.eps, row[5], 1e-6, "eps");
  expectNear(s.snr, row[6], 1e-6, "snr");
}

TEST(TableStatistics, AgreeWithTheFieldsPackage) {
  for (const std::string site : {"ca533", "co021"}) {
    SCOPED_TRACE(site);
    const Wide index(csvRows(site + ".index.csv"));
    // The residual chronology: each series' residuals, then the biweight mean.
    Wide residual = index;
    std::vector<double> work(2 * index.years);
    for (int k = 0; k < index.series; ++k) {
      residualIndices(&index.values[k * index.years], index.count[k],
                      &residual.values[k * index.years], work.data());
    }
    std::vector<double> res(index.years);
    std::vector<int> depth(index.years);
    std::vector<double> chronologyWork((CHRONOLOGY_TILE_YEARS + 2) * index.series);
    chronology(residual.indices(), index.firstYear, index.years, res.data(), depth.data(),
               chronologyWork.data());
    const auto expectedRes = csvRows(site + ".res.csv");
    ASSERT_EQ(expectedRes.size(), res.size());
    for (int j = 0; j < index.years; ++j) {
      expectNear(res[j] / expectedRes[j][1], std::isnan(expectedRes[j][1]) ? NONE : 1.0, 1e-5,
                 "res");
    }
    // rbar, EPS and SNR over all years, then in windows.
    const auto signal = csvRows(site + ".signal.csv");
    SignalWork signalWork;
    expectSignal(signalStats(index.indices(), index.firstYear, index.firstYear + index.years - 1,
                             PAIR_COMMON_YEARS, signalWork),
                 signal[0]);
    std::vector<SignalStats> windows;
    runningSignal(index.indices(), index.firstYear, index.years, 50, windows, signalWork);
    ASSERT_EQ(windows.size() + 1, signal.size());
    for (std::size_t w = 0; w < windows.size(); ++w) expectSignal(windows[w], signal[w + 1]);
    // The series as read.
    const Wide value(csvRows(site + ".value.csv"));
    const auto series = csvRows(site + ".series.csv");
    ASSERT_EQ(series.size(), static_cast<std::size_t>(value.series));
    for (int k = 0; k < value.series; ++k) {
      const SeriesSummary s = seriesSummary(&value.values[k * value.years], value.count[k],
                                            value.first[k], -999.0, work.data());
      const std::vector<double>& e = series[k];
      EXPECT_EQ(std::vector<double>({1.0 * s.first, 1.0 * s.last, 1.0 * s.years}),
                std::vector<double>(e.begin() + 1, e.begin() + 4));
      const double got[] = {s.mean, s.median, s.stdev, s.skew, s.kurtosis, s.gini, s.ar1};
      for (int c = 0; c < 7; ++c) EXPECT_NEAR(got[c] / e[c + 4], 1.0, 1e-6) << k << " " << c;
    }
  }
}

}  // namespace
}  // namespace ringsmooth
