// Indices and the site chronology: the biweight robust mean against a plain computation written
// here, the indices of filled years and of splines not above 0, depths and gaps year by year.
#include "analysis/chronology.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "analysis/index.h"

namespace {

using ringsmooth::IndexKind;

const double NONE = std::numeric_limits<double>::quiet_NaN();

// The textbook biweight mean: medians by a full sort, then the weighted sum.
double plainBiweight(std::vector<double> x) {
  const auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t h = v.size() / 2;
    return v.size() % 2 == 1 ? v[h] : (v[h - 1] + v[h]) / 2;
  };
  const double m = median(x);
  std::vector<double> deviation;
  for (const double v : x) deviation.push_back(std::fabs(v - m));
  const double s = median(deviation);
  double sw = 0, swx = 0;
  for (const double v : x) {
    const double u = (v - m) / (9 * s + 1e-6);
    const double w = std::fabs(u) <= 1 ? (1 - u * u) * (1 - u * u) : 0;
    sw += w;
    swx += w * v;
  }
  return swx / sw;
}

TEST(BiweightMean, AgreesWithThePlainComputation) {
  const std::vector<std::vector<double>> cases = {
      {1.25},                              // a single value is itself
      {0.9, 1.1},                          // an even count: the mean of the middle two
      {1.0, 1.0, 1.0, 1.0},                // no spread: S = 0, every weight 1
      {0.95, 1.02, 0.99, 1.05, 4.0},       // an outlier beyond 9 S gets weight 0
      {1.0, 1.0, 1.0, 2.0, -3.0, 1.01},    // outliers on both sides, S small
      {-0.4, 0.3, 0.1, -0.2, 0.0, 0.25},   // difference indices around 0
      {3.0, -1.0, 2.0},                    // deviations taken from both sides of the median
      {0.1, 0.2, 0.3, 10.0, 10.1, 10.2, 10.3},  // most deviations on one side
      {5.0, 1.0, 4.0, 1.0, 3.0, 2.0, 2.0, 0.5},  // ties
  };
  // Counts on both sides of the switch from one sort to selections (40), and sets whose
  // medians the narrowing to a band must find in every way it can go: ties across the band's
  // edges, a band that is the whole set, ranks at the band's edge, sorted sets, two clusters.
  std::vector<std::vector<double>> all = cases;
  const auto generated = [&](int n, auto value) {
    std::vector<double> x;
    for (int i = 0; i < n; ++i) x.push_back(value(i));
    all.push_back(x);
  };
  for (const int n : {40, 41, 100, 255, 256, 351, 700}) {
    generated(n, [](int i) { return 1.0 + 0.3 * std::sin(1.7 * i) + (i % 17 == 0 ? 3 : 0); });
  }
  for (const int n : {64, 65, 333, 699}) {
    generated(n, [](int i) { return 1.0 + 0.01 * (i % 5); });           // five values, tied
    generated(n, [](int i) { return i % 3 == 0 ? 2.0 : 1.0; });         // two, tied
    generated(n, [n](int i) { return i < n / 2 ? 1.0 : 1.5 + i; });    // half equal
    generated(n, [](int i) { return 0.5 + 0.001 * i; });                // ascending
    generated(n, [](int i) { return 2.0 - 0.003 * i; });                // descending
    generated(n, [](int i) { return (i % 2 == 0 ? -5.0 : 5.0) + 0.01 * std::sin(i); });
    generated(n, [](int i) { return std::fmod(i * 0.618034, 1.0) * (i % 11 == 0 ? 40 : 1); });
  }
  // Many sets from a fixed sequence, of few distinct values or of many, for the ranks to fall
  // at every place in and around the bands.
  unsigned state = 12345;
  const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 8; };
  for (int set = 0; set < 3000; ++set) {
    const int n = 20 + static_cast<int>(next() % 430);
    const unsigned levels = set % 2 == 0 ? 2 + next() % 12 : 1u << 20;
    generated(n, [&](int) { return static_cast<double>(next() % levels) / levels; });
  }
  for (const auto& x : all) {
    std::vector<double> scratch(2 * x.size());
    const double got = ringsmooth::biweightMean(x.data(), static_cast<int>(x.size()),
                                                scratch.data());
    // The same operations in the same order: the same bits.
    EXPECT_EQ(got, x.size() == 1 ? x[0] : plainBiweight(x))
        << x.size() << " values, first " << x[0] << ", last " << x.back();
  }
}

TEST(SeriesIndices, RatioDifferenceFilledAndSplinesNotAboveZero) {
  using ringsmooth::IndexBase;
  const unsigned char filled[] = {0, 1, 0, 0, 0};
  const double tenth = double(0.1f);
  const double mean = (1.5 + tenth + 3.0 + 0.0) / 4;  // of the unfilled years
  const struct {
    IndexKind kind;
    std::vector<float> value, smoothed;
    std::vector<double> index;
    IndexBase base;
  } cases[] = {
      // Each operand widened to double first: 0.1f / 0.3f is not 1/3.
      {IndexKind::Ratio, {1.5f, 2.0f, 0.1f, 3.0f, 0.0f}, {1.0f, 2.0f, 0.3f, 1.5f, 2.0f},
       {1.5, NONE, tenth / double(0.3f), 2.0, 0.0}, IndexBase::Spline},
      // A spline not above 0 in one year (a filled one too): every ratio against the mean.
      {IndexKind::Ratio, {1.5f, 2.0f, 0.1f, 3.0f, 0.0f}, {1.0f, -1.0f, 0.3f, 1.5f, 2.0f},
       {1.5 / mean, NONE, tenth / mean, 3.0 / mean, 0.0}, IndexBase::Mean},
      {IndexKind::Ratio, {1.5f, 2.0f, 0.1f, 3.0f, -5.0f}, {1.0f, 2.0f, 0.3f, 1.5f, NAN},
       {NONE, NONE, NONE, NONE, NONE}, IndexBase::None},
      {IndexKind::Difference, {1.5f, 2.0f, 0.1f, 3.0f, 0.0f}, {1.0f, 2.0f, 0.3f, -1.0f, 0.0f},
       {0.5, NONE, tenth - double(0.3f), 4.0, 0.0}, IndexBase::Spline},
  };
  for (const auto& c : cases) {
    double index[5];
    EXPECT_EQ(ringsmooth::seriesIndices(c.kind, 5, c.value.data(), c.smoothed.data(), filled,
                                        index),
              c.base);
    for (int i = 0; i < 5; ++i) {
      if (std::isnan(c.index[i])) {
        EXPECT_TRUE(std::isnan(index[i])) << i;
      } else {
        EXPECT_EQ(index[i], c.index[i]) << i;
      }
    }
  }
}

// Series' indices taken year by year, series entering and leaving: each year's depth and
// biweight mean of its indices in series order (NaN for a year without any), against gathering
// them here year by year. Years without an index (NaN) and a series that takes no part are left
// out.
TEST(Chronology, EachYearItsOwnIndicesInSeriesOrder) {
  const struct {
    int firstYear;
    int years;
    bool taking;
  } series[] = {{1000, 150, true}, {1003, 20, true},  {990, 300, false},
                {1040, 100, true}, {1149, 1, true},   {1000, 40, true}};
  constexpr int SERIES = 6;
  constexpr long STRIDE = 400;
  std::vector<double> values(SERIES * STRIDE, 99.0);
  int firstYear[SERIES], yearCount[SERIES];
  unsigned char taking[SERIES];
  for (int k = 0; k < SERIES; ++k) {
    firstYear[k] = series[k].firstYear;
    yearCount[k] = series[k].years;
    taking[k] = series[k].taking ? 1 : 0;
    for (int i = 0; i < series[k].years; ++i) {
      values[k * STRIDE + i] = i % (7 + k) == 3 ? NONE : 1.0 + 0.2 * std::sin(0.3 * i + k);
    }
  }
  const int first = 995;  // five years before any series that takes part
  const int years = 160;
  std::vector<double> mean(years, -1.0), work(ringsmooth::chronologyWorkSize(SERIES));
  std::vector<int> depth(years, -1);
  ringsmooth::chronology({values.data(), STRIDE, firstYear, yearCount, taking, SERIES}, first,
                         years, mean.data(), depth.data(), work.data());
  for (int j = 0; j < years; ++j) {
    std::vector<double> x;
    for (int k = 0; k < SERIES; ++k) {
      const int i = first + j - firstYear[k];
      if (taking[k] == 0 || i < 0 || i >= yearCount[k]) continue;
      if (!std::isnan(values[k * STRIDE + i])) x.push_back(values[k * STRIDE + i]);
    }
    EXPECT_EQ(depth[j], static_cast<int>(x.size())) << "year " << first + j;
    if (x.empty()) {
      EXPECT_TRUE(std::isnan(mean[j])) << "year " << first + j;
    } else {
      EXPECT_EQ(mean[j], x.size() == 1 ? x[0] : plainBiweight(x)) << "year " << first + j;
    }
  }
}

}  // namespace
