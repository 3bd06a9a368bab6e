// Mean and standard deviation: single precision, two passes, IEEE defaults at n = 0 and 1.
#include "analysis/mnsd.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "support/reference_pipeline.h"

namespace {

using ringsmooth::mnsd;

const float NAN_F = std::numeric_limits<float>::quiet_NaN();

// The same bits, or both NaN where a NaN is expected.
bool same(float got, float expected) {
  return std::isnan(expected) ? std::isnan(got) : std::memcmp(&got, &expected, sizeof got) == 0;
}

// n values of an ordinary spread about 5, or with `decades` of either sign from 10^-decades to
// 10^decades: every rounding to single precision and the order of both sums show there.
std::vector<float> spread(int n, int decades) {
  std::vector<float> x;
  for (int i = 0; i < n; ++i) {
    const double wave = std::sin(0.7 * i + 0.3);
    x.push_back(decades == 0 ? static_cast<float>(5.0 + 2.0 * wave * std::cos(1.3 * i))
                             : static_cast<float>((std::sin(2.1 * i) < 0 ? -1 : 1) *
                                                  std::pow(10.0, decades * wave)));
  }
  return x;
}

// Each row against the reference computation bit for bit, its input left alone, and against the
// values worked out by hand where given; where `near` is given, also within it of sums in long
// double.
struct Row {
  const char* label;
  std::vector<float> x;
  std::optional<float> mean;
  std::optional<float> sd;
  double near;
};

TEST(Mnsd, AgreesWithTheReferenceAndTheValuesWorkedOutByHand) {
  const float big = 1.0e8f * 1.0e8f;  // 1e16 rounded to single precision
  const Row rows[] = {
      // -1.5, -0.5, 0.5, 1.5 square and sum to exactly 5.
      {"1 to 4", {1.0f, 2.0f, 3.0f, 4.0f}, 2.5f, std::sqrt(5.0f / 3.0f), 1e-6},
      // In single precision 1e8 + 1 is 1e8: the mean is exactly 0 (1/3 with a double sum).
      {"1e8, 1, -1e8", {1.0e8f, 1.0f, -1.0e8f}, 0.0f, std::sqrt((big + (1.0f + big)) / 2.0f), 0},
      // Large level, small spread: deviations about the rounded mean (one pass loses it all).
      {"10000.1 to 10000.3", {10000.1f, 10000.2f, 10000.3f},
       ((10000.1f + 10000.2f) + 10000.3f) / 3.0f, {}, 0.002},
      {"a single value", {-3.25f}, -3.25f, NAN_F, 0},
      {"no values, none read", {}, NAN_F, -0.0f, 0},
      {"a missing flag is a value", {1.0f, -999.0f}, -499.0f, std::sqrt(500.0f * 500.0f * 2.0f), 0},
      {"1 + 1e20 - 1e20", {1.0f, 1e20f, -1e20f}, 0.0f, {}, 0},
      {"-1e20 + 1e20 + 1", {-1e20f, 1e20f, 1.0f}, 1.0f / 3.0f, {}, 0},
      {"n 2", spread(2, 0), {}, {}, 2e-6 * 2},
      {"n 3", spread(3, 0), {}, {}, 2e-6 * 3},
      {"n 10", spread(10, 0), {}, {}, 2e-6 * 10},
      {"n 257", spread(257, 0), {}, {}, 2e-6 * 257},
      {"n 5000", spread(5000, 0), {}, {}, 2e-6 * 5000},
      {"1e-15 to 1e15, n 257", spread(257, 15), {}, {}, 0},
  };
  for (const Row& row : rows) {
    const int n = static_cast<int>(row.x.size());
    auto x = std::make_unique<float[]>(row.x.size());  // exact size: ASan catches a read past it
    std::copy(row.x.begin(), row.x.end(), x.get());
    float mean = 1.0f;
    float sd = 1.0f;
    mnsd(n == 0 ? nullptr : x.get(), n, mean, sd);
    reference::Floats oneBased(1);
    oneBased.insert(oneBased.end(), row.x.begin(), row.x.end());
    float expectedMean = 0.0f;
    float expectedSd = 0.0f;
    reference::meanAndDeviation(oneBased, n, expectedMean, expectedSd);
    EXPECT_TRUE(same(mean, expectedMean)) << row.label << ": " << mean << " vs " << expectedMean;
    EXPECT_TRUE(same(sd, expectedSd)) << row.label << ": " << sd << " vs " << expectedSd;
    EXPECT_TRUE(!row.mean || same(mean, *row.mean)) << row.label << ": " << mean;
    EXPECT_TRUE(!row.sd || same(sd, *row.sd)) << row.label << ": " << sd;
    EXPECT_EQ(row.x, std::vector<float>(x.get(), x.get() + n)) << row.label;
    if (row.near == 0) continue;
    long double s = 0.0L;
    for (const float v : row.x) s += v;
    const long double m = s / n;
    long double q = 0.0L;
    for (const float v : row.x) q += (v - m) * (v - m);
    EXPECT_NEAR(mean, static_cast<double>(m), row.near) << row.label;
    EXPECT_NEAR(sd, static_cast<double>(std::sqrt(q / (n - 1))), row.near) << row.label;
  }
}

}  // namespace
