// The residual chronology, rbar/EPS/SNR and the series statistics of ca533 and co021 against
// dplR's, fed dplR's own indices. reference/ holds, trimmed from dplR's output: SITE.value.csv
// and SITE.index.csv, wide tables of the values as read and of the spline indices (50% at
// floor(0.67 n) years, no end extension); SITE.res.csv, chron()'s residual chronology;
// SITE.signal.csv, rwi.stats() then rwi.stats.running(); SITE.series.csv, rwl.stats().
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/ar_model.h"
#include "analysis/chronology.h"
#include "analysis/series_stats.h"
#include "analysis/signal.h"
#include "support/csv_numbers.h"

namespace ringsmooth {
namespace {

using support::csvRows;
using support::expectNear;

const double NONE = NAN;

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
    const Wide index(csvRows(support::referencePath(site + ".index.csv")));
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
    const auto expectedRes = csvRows(support::referencePath(site + ".res.csv"));
    ASSERT_EQ(expectedRes.size(), res.size());
    for (int j = 0; j < index.years; ++j) {
      expectNear(res[j] / expectedRes[j][1], std::isnan(expectedRes[j][1]) ? NONE : 1.0, 1e-5,
                 "res");
    }
    // rbar, EPS and SNR over all years, then in windows.
    const auto signal = csvRows(support::referencePath(site + ".signal.csv"));
    SignalWork signalWork;
    expectSignal(signalStats(index.indices(), index.firstYear, index.firstYear + index.years - 1,
                             PAIR_COMMON_YEARS, signalWork),
                 signal[0]);
    std::vector<SignalStats> windows;
    runningSignal(index.indices(), index.firstYear, index.years, 50, windows, signalWork);
    ASSERT_EQ(windows.size() + 1, signal.size());
    for (std::size_t w = 0; w < windows.size(); ++w) expectSignal(windows[w], signal[w + 1]);
    // The series as read.
    const Wide value(csvRows(support::referencePath(site + ".value.csv")));
    const auto series = csvRows(support::referencePath(site + ".series.csv"));
    ASSERT_EQ(series.size(), static_cast<std::size_t>(value.series));
    for (int k = 0; k < value.series; ++k) {  // each with a missing value before and after
      std::vector<double> x(value.count[k] + 2, -999.0);
      std::copy_n(&value.values[k * value.years], value.count[k], x.begin() + 1);
      const SeriesSummary s = seriesSummary(x.data(), value.count[k] + 2, value.first[k] - 1,
                                            -999.0, work.data());
      const std::vector<double>& e = series[k];
      EXPECT_EQ(std::vector<double>({1.0 * s.first, 1.0 * s.last, 1.0 * s.years}),
                std::vector<double>(e.begin() + 1, e.begin() + 4));
      const double got[] = {s.mean, s.median, s.stdev, s.skew, s.kurtosis, s.gini, s.ar1};
      for (int c = 0; c < 7; ++c) EXPECT_NEAR(got[c] / e[c + 4], 1.0, 1e-6) << k << " " << c;
    }
  }
}

// Series side by side, year j in row j.
Wide columns(const std::vector<std::vector<double>>& series) {
  std::vector<std::vector<double>> rows(series[0].size());
  for (std::size_t j = 0; j < rows.size(); ++j) {
    rows[j].push_back(static_cast<double>(j));
    for (const auto& s : series) rows[j].push_back(s[j]);
  }
  return Wide(rows);
}

TEST(SignalStats, PairsAsRCorrelatesThem) {
  const struct {
    std::vector<double> a, b;
    double rbar;  // R's cor(method = "spearman") of the years both have, NaN: no pair
  } cases[] = {
      {{1, 2, 3, 4, 5}, {2, 1, 4, 3, 5}, 0.79999999999999982},
      {{1, 2, 2, 3, 3, 3}, {5, 1, 1, 2, 9, 9}, 0.50851338093098264},  // ties in both
      {{1, 2, 2, 0, 3, 3}, {5, 1, 1, 2, 9, 9}, 0.66666666666666663},  // ... and a year apart
      {{1, 0, 3, 4, 2, 7}, {3, 2, NONE, 1, 4, 0}, -0.5},  // 0 and NaN are missing
      {{NONE, NONE, 3, 4, 2, 7}, {3, 2, 5, 1, NONE, NONE}, NONE},  // 2 years in common
      {{1, 0, 3, 5}, {2, 5, 1, 4}, 0.5},                  // 3 years in common: enough
      {{2, 2, 2, 2}, {1, 3, 2, 4}, NONE},                 // no correlation
  };
  for (const auto& c : cases) {
    const Wide w = columns({c.a, c.b});
    SignalWork work;
    const SignalStats s = signalStats(w.indices(), 0, w.years - 1, 3, work);
    const double r = c.rbar;
    EXPECT_EQ(s.pairs, std::isnan(r) ? 0 : 1) << c.a[0];
    EXPECT_EQ(s.series, std::isnan(r) ? 0 : 2);
    expectNear(s.rbar, r, 1e-15, "rbar");
    expectNear(s.eps, 2 * r / (r + 1), 1e-15, "eps");
    expectNear(s.snr, 2 * r / (1 - r), 1e-14, "snr");
  }
}

TEST(SignalStats, WindowsPlacedToCoverTheMostSharedYears) {
  // 120 years; two series share the years 30 .. 99, a third stands alone in 0 .. 9.
  std::vector<double> a(120, NONE), b(120, NONE), alone(120, NONE);
  for (int j = 30; j < 100; ++j) {
    a[j] = 1 + 0.5 * std::sin(0.7 * j);
    b[j] = 1 + 0.5 * std::sin(0.9 * j + 1);
  }
  for (int j = 0; j < 10; ++j) alone[j] = 1 + 0.1 * j;
  const Wide w = columns({a, alone, b});
  const struct {
    int window;
    std::vector<int> starts;
  } cases[] = {
      {50, {20, 45, 70}},  // starts 0 .. 20 tie: the latest
      {51, {25, 51}},      // advancing by 26; two windows cover as much as three
      {20, {39, 49, 59, 69, 79}},  // 20 common years needed: windows without a pair left out
      {200, {0}},          // longer than the years: all of them
  };
  for (const auto& c : cases) {
    std::vector<SignalStats> windows;
    SignalWork work;
    runningSignal(w.indices(), 0, w.years, c.window, windows, work);
    std::vector<int> starts;
    for (const SignalStats& s : windows) {
      starts.push_back(s.first);
      EXPECT_EQ(s.last, s.first + std::min(c.window, 120) - 1);
    }
    EXPECT_EQ(starts, c.starts) << c.window;
  }
}

TEST(SignalStats, WeakYearsAndTheYearFromWhichEveryWindowIsEnough) {
  const struct {
    std::vector<SignalStats> windows;  // first, last and eps matter
    std::vector<int> weakRuns;         // first and last years of each run of weak years
    int trusted;                       // -1: none
  } cases[] = {
      {{{0, 49, 2, 1, 0, 0.8, 0}, {25, 74, 2, 1, 0, 0.9, 0}, {50, 99, 2, 1, 0, 0.9, 0}},
       {0, 49}, 50},
      {{{10, 59, 2, 1, 0, 0.9, 0}, {35, 84, 2, 1, 0, 0.85, 0}}, {0, 9, 85, 99}, 10},
      {{{0, 49, 2, 1, 0, 0.9, 0}, {25, 74, 2, 1, 0, 0.8, 0}}, {25, 99}, -1},
      {{}, {0, 99}, -1},
  };
  for (const auto& c : cases) {
    unsigned char weak[100];
    weakYears(c.windows.data(), static_cast<int>(c.windows.size()), 0, 100, weak);
    std::vector<int> runs;
    for (int j = 0; j < 100; ++j) {
      if (weak[j] != 0 && (j == 0 || weak[j - 1] == 0)) runs.push_back(j);
      if (weak[j] != 0 && (j == 99 || weak[j + 1] == 0)) runs.push_back(j);
    }
    EXPECT_EQ(runs, c.weakRuns);
    int year = -1;
    EXPECT_EQ(trustedFrom(c.windows.data(), static_cast<int>(c.windows.size()), year),
              c.trusted >= 0);
    EXPECT_EQ(year, c.trusted);
  }
}

TEST(ResidualIndices, AsRFitsTheSeriesWithItsGapsClosed) {
  const struct {
    std::vector<double> index, expected;  // expected: R's ar(), resid + x.mean
  } cases[] = {
      {{NONE, 1, 3, NONE, 2, 5, 4, 6, 5, 8, 7, 9, 8, 11},
       {NONE, NONE, 5.4747137404580144, NONE, 3.4327290076335877, 6.9537213740458013,
        4.3907442748091601, 6.9117366412213741, 4.8697519083969469, 8.3907442748091601,
        5.8277671755725189, 8.3487595419847338, 6.3067748091603058, 9.8277671755725180}},
      {{2, 2, NONE, 2}, {2, 2, NONE, 2}},  // no variance: order 0
  };
  for (const auto& c : cases) {
    const int n = static_cast<int>(c.index.size());
    std::vector<double> out(n), work(2 * n);
    residualIndices(c.index.data(), n, out.data(), work.data());
    for (int i = 0; i < n; ++i) expectNear(out[i], c.expected[i], 1e-13, "residual");
  }
}

}  // namespace
}  // namespace ringsmooth
