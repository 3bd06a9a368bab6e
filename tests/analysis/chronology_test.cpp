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
  // Counts on both sides of the switch from one sort to two selections (48).
  std::vector<std::vector<double>> all = cases;
  for (const int n : {48, 49, 100, 351}) {
    std::vector<double> x;
    for (int i = 0; i < n; ++i) x.push_back(1.0 + 0.3 * std::sin(1.7 * i) + (i % 17 == 0 ? 3 : 0));
    all.push_back(x);
  }
  for (const auto& x : all) {
    std::vector<double> scratch(x.size());
    const double got = ringsmooth::biweightMean(x.data(), static_cast<int>(x.size()),
                                                scratch.data());
    EXPECT_NEAR(got, x.size() == 1 ? x[0] : plainBiweight(x), 1e-15 * std::fabs(got) + 1e-300)
        << x.size() << " values, first " << x[0];
  }
}

TEST(SeriesIndices, RatioDifferenceFilledAndSplinesNotAboveZero) {
  const float listed[] = {1.5f, 2.0f, 0.1f, 3.0f, 0.0f};
  const float smoothed[] = {1.0f, 2.0f, 0.3f, -1.0f, 0.0f};
  const unsigned char filled[] = {0, 1, 0, 0, 0};
  const struct {
    IndexKind kind;
    std::vector<double> index;
    int noSpline;
  } cases[] = {
      // Each operand widened to double first: 0.1f / 0.3f is not 1/3.
      {IndexKind::Ratio, {1.5, NONE, double(0.1f) / double(0.3f), NONE, NONE}, 2},
      {IndexKind::Difference, {0.5, NONE, double(0.1f) - double(0.3f), 4.0, 0.0}, 0},
  };
  for (const auto& c : cases) {
    double index[5];
    EXPECT_EQ(ringsmooth::seriesIndices(c.kind, 5, listed, smoothed, filled, index), c.noSpline);
    for (int i = 0; i < 5; ++i) {
      if (std::isnan(c.index[i])) {
        EXPECT_TRUE(std::isnan(index[i])) << i;
      } else {
        EXPECT_EQ(index[i], c.index[i]) << i;
      }
    }
  }
}

// Indices gathered year by year: each year's biweight mean, and NaN for a year without any.
TEST(Chronology, EachYearItsOwnIndices) {
  const double values[] = {1.0, 1.1, 2.0, 0.5, 1.3, 0.9, 1.2, 5.0};
  const long start[] = {0, 1, 3, 3, 8};
  const int depth[] = {1, 2, 0, 5};
  double mean[4], scratch[5];
  ringsmooth::chronology({values, start, depth}, 4, mean, scratch);
  EXPECT_EQ(mean[0], 1.0);
  EXPECT_DOUBLE_EQ(mean[1], plainBiweight({1.1, 2.0}));
  EXPECT_TRUE(std::isnan(mean[2]));
  EXPECT_DOUBLE_EQ(mean[3], plainBiweight({0.5, 1.3, 0.9, 1.2, 5.0}));
}

}  // namespace
