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
using support::expectRowsNear;

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

std::vector<double> row(const SignalStats& s) {
  return {1.0 * s.first, 1.0 * s.last, 1.0 * s.series, double(s.pairs), s.rbar, s.eps, s.snr};
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
    std::vector<double> chronologyWork(chronologyWorkSize(index.series));
    chronology(residual.indices(), index.firstYear, index.years, res.data(), depth.data(),
               chronologyWork.data());
    std::vector<std::vector<double>> rows;
    for (int j = 0; j < index.years; ++j) rows.push_back({index.firstYear + j + 0.0, res[j]});
    expectRowsNear("res", rows, csvRows(support::referencePath(site + ".res.csv")), 0, 1e-5);
    // rbar, EPS and SNR over all years, then in windows.
    SignalWork signalWork;
    std::vector<SignalStats> windows;
    runningSignal(index.indices(), index.firstYear, index.years, 50, windows, signalWork);
    rows = {row(signalStats(index.indices(), index.firstYear, index.firstYear + index.years - 1,
                            PAIR_COMMON_YEARS, signalWork))};
    for (const SignalStats& w : windows) rows.push_back(row(w));
    expectRowsNear("signal", rows, csvRows(support::referencePath(site + ".signal.csv")), 0, 1e-6);
    // The series as read.
    const Wide value(csvRows(support::referencePath(site + ".value.csv")));
    rows.clear();
    for (int k = 0; k < value.series; ++k) {  // each with a missing value before and after
      std::vector<double> x(value.count[k] + 2, -999.0);
      std::copy_n(&value.values[k * value.years], value.count[k], x.begin() + 1);
      const SeriesSummary s = seriesSummary(x.data(), value.count[k] + 2, value.first[k] - 1,
                                            -999.0, work.data());
      rows.push_back({NONE, 1.0 * s.first, 1.0 * s.last, 1.0 * s.years, s.mean, s.median, s.stdev,
                      s.skew, s.kurtosis, s.gini, s.ar1});
    }
    expectRowsNear("series", rows, csvRows(support::referencePath(site + ".series.csv")), 1, 1e-6);
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
  const auto window = [](int at, double eps) { return SignalStats{at, at + 9, 2, 1, 0, eps, 0}; };
  const struct {
    std::vector<SignalStats> windows;
    const char* weak;  // year by year, 0 to 19
    int trusted;       // -1: none
  } cases[] = {
      {{window(0, 0.8), window(5, 0.9), window(10, 0.9)}, "11111111110000000000", 10},
      {{window(2, 0.9), window(7, 0.85)}, "11000000000000000111", 2},
      {{window(0, 0.9), window(5, 0.8)}, "00000111111111111111", -1},
      {{}, "11111111111111111111", -1},
  };
  for (const auto& c : cases) {
    unsigned char weak[20];
    const int count = static_cast<int>(c.windows.size());
    weakYears(c.windows.data(), count, 0, 20, weak);
    std::string flags;
    for (const unsigned char w : weak) flags += w != 0 ? '1' : '0';
    EXPECT_EQ(flags, c.weak);
    int year = -1;
    EXPECT_EQ(trustedFrom(c.windows.data(), count, year), c.trusted >= 0);
    EXPECT_EQ(year, c.trusted);
  }
}

// R's ar() on the indices present, resid + x.mean, each residual back in its year.
TEST(ResidualIndices, AsRFitsTheSeriesWithItsGapsClosed) {
  const std::vector<double> index = {NONE, 1, 3, NONE, 2, 5, 4, 6, 5, 8, 7, 9, 8, 11};
  const double r[] = {NONE, NONE, 5.4747137404580144, NONE, 3.4327290076335877,
                      6.9537213740458013, 4.3907442748091601, 6.9117366412213741,
                      4.8697519083969469, 8.3907442748091601, 5.8277671755725189,
                      8.3487595419847338, 6.3067748091603058, 9.8277671755725180};
  std::vector<double> out(14), work(28);
  residualIndices(index.data(), 14, out.data(), work.data());
  for (int i = 0; i < 14; ++i) expectNear(out[i], r[i], 1e-13, "residual");
}

}  // namespace
}  // namespace ringsmooth
