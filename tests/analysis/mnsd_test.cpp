// Mean and standard deviation: single precision, two passes, IEEE defaults at n = 0 and 1.
#include "analysis/mnsd.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "support/reference_pipeline.h"

namespace {

using ringsmooth::mnsd;

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(Mnsd, OneToFourGivesTwoAndAHalfAndRootOfFiveThirds) {
  const float x[] = {1.0f, 2.0f, 3.0f, 4.0f};
  float mean = -1.0f;
  float sd = -1.0f;
  mnsd(x, 4, mean, sd);
  EXPECT_EQ(mean, 2.5f);
  // Deviations -1.5, -0.5, 0.5, 1.5 square and sum to exactly 5; then 5/3 and its root in float.
  const float fiveThirds = 5.0f / 3.0f;
  EXPECT_EQ(sd, std::sqrt(fiveThirds));
}

TEST(Mnsd, SumIsRoundedToSinglePrecisionAtEveryStep) {
  // In float 1e8 + 1 rounds back to 1e8, so the mean is exactly 0; a double accumulator would
  // give 1/3.
  const float x[] = {1.0e8f, 1.0f, -1.0e8f};
  float mean = 0.0f;
  float sd = 0.0f;
  mnsd(x, 3, mean, sd);
  EXPECT_EQ(mean, 0.0f);
  // Squares 1e16, 1, 1e16 (each rounded to float) summed in float, halved, square root.
  const float big = 1.0e8f * 1.0e8f;
  const float q = big + (1.0f + big);
  EXPECT_EQ(sd, std::sqrt(q / 2.0f));
}

TEST(Mnsd, DeviationsAreTakenAboutTheRoundedMean) {
  // Large level, small spread: the one-pass formula would lose everything here.
  const float x[] = {10000.1f, 10000.2f, 10000.3f};
  float mean = 0.0f;
  float sd = 0.0f;
  mnsd(x, 3, mean, sd);
  const float m = ((x[0] + x[1]) + x[2]) / 3.0f;
  EXPECT_EQ(mean, m);
  float q = 0.0f;
  for (float v : x) {
    const float d = v - m;
    q = d * d + q;
  }
  EXPECT_EQ(sd, std::sqrt(q / 2.0f));
  EXPECT_NEAR(sd, 0.1f, 0.002f);
}

TEST(Mnsd, SingleValueGivesItselfAndNanSd) {
  const float x[] = {-3.25f};
  float mean = 0.0f;
  float sd = 0.0f;
  mnsd(x, 1, mean, sd);
  EXPECT_EQ(mean, -3.25f);
  EXPECT_TRUE(std::isnan(sd));
}

TEST(Mnsd, NoValuesGivesNanMeanAndNegativeZeroSdWithoutReading) {
  float mean = 1.0f;
  float sd = 1.0f;
  mnsd(nullptr, 0, mean, sd);
  EXPECT_TRUE(std::isnan(mean));
  EXPECT_EQ(sd, 0.0f);
  EXPECT_TRUE(std::signbit(sd));
}

TEST(Mnsd, MissingFlagIsAveragedLikeAnyValue) {
  const float x[] = {1.0f, -999.0f};
  float mean = 0.0f;
  float sd = 0.0f;
  mnsd(x, 2, mean, sd);
  EXPECT_EQ(mean, -499.0f);
  EXPECT_EQ(sd, std::sqrt(500.0f * 500.0f * 2.0f));
}

// Rows against the reference computation, bit for bit: random values of one spread, or given
// ones. Over a spread of many decades every rounding to single precision and the order of both
// sums show; in 1 + 1e20 - 1e20 the order of the additions decides the mean. Values of an
// ordinary spread are also checked against a sum in long double.
struct ReferenceRow {
  const char* label;
  int n;
  int decades;               // random values: 0 normal about 5, else 10^-decades .. 10^decades
  std::vector<float> given;  // or these values
};

TEST(Mnsd, AgreesWithTheReferenceAndLeavesInputAlone) {
  const ReferenceRow rows[] = {
      {"normal, n 2", 2, 0, {}},
      {"normal, n 3", 3, 0, {}},
      {"normal, n 10", 10, 0, {}},
      {"normal, n 257", 257, 0, {}},
      {"normal, n 5000", 5000, 0, {}},
      {"1e-15 to 1e15, n 257", 257, 15, {}},
      {"1 + 1e20 - 1e20", 3, 0, {1.0f, 1e20f, -1e20f}},
      {"-1e20 + 1e20 + 1", 3, 0, {-1e20f, 1e20f, 1.0f}},
  };
  std::mt19937 rng(12345);
  std::normal_distribution<float> normal(5.0f, 2.0f);
  for (const ReferenceRow& row : rows) {
    std::uniform_real_distribution<float> exponent(-float(row.decades), float(row.decades));
    const int n = row.n;
    auto x = std::make_unique<float[]>(n);  // exact size: reading past it is caught by ASan
    for (int i = 0; i < n; ++i) {
      if (!row.given.empty()) x[i] = row.given[i];
      else if (row.decades == 0) x[i] = normal(rng);
      else x[i] = (rng() % 2 ? 1.0f : -1.0f) * std::pow(10.0f, exponent(rng));
    }
    const std::vector<float> before(x.get(), x.get() + n);
    float mean = 0.0f;
    float sd = 0.0f;
    mnsd(x.get(), n, mean, sd);
    reference::Floats oneBased(1);
    oneBased.insert(oneBased.end(), before.begin(), before.end());
    float expectedMean = 0.0f;
    float expectedSd = 0.0f;
    reference::meanAndDeviation(oneBased, n, expectedMean, expectedSd);
    EXPECT_TRUE(sameBits(mean, expectedMean))
        << row.label << ": " << mean << " vs " << expectedMean;
    EXPECT_TRUE(sameBits(sd, expectedSd)) << row.label << ": " << sd << " vs " << expectedSd;
    EXPECT_EQ(before, std::vector<float>(x.get(), x.get() + n)) << row.label;
    if (!row.given.empty() || row.decades != 0) continue;
    long double s = 0.0L;
    for (int i = 0; i < n; ++i) s += x[i];
    const long double m = s / n;
    long double q = 0.0L;
    for (int i = 0; i < n; ++i) q += (x[i] - m) * (x[i] - m);
    const long double wideSd = std::sqrt(q / (n - 1));
    EXPECT_NEAR(mean, static_cast<double>(m), 1e-6 * n * 5.0) << row.label;
    EXPECT_NEAR(sd, static_cast<double>(wideSd), 1e-6 * n * 2.0) << row.label;
  }
}

}  // namespace
