// Burg's prediction-error filter: the textbook cases, the zero-denominator rule, short series,
// an order below one, and agreement with a plain Burg written out in the test.
#include "analysis/memcof.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/textbook_burg.h"

namespace {

using ringsmooth::memcof;

struct BurgResult {
  std::vector<double> coeff;
  double meanSquare = 0.0;
};

// Runs memcof with work arrays of exactly the documented sizes (n - 1, n - 1, order - 1, none
// for n < 2 or order < 2) on the heap, so that any access outside them is caught under ASan.
BurgResult runMemcof(const std::vector<float>& series, int order) {
  const int n = static_cast<int>(series.size());
  const int errorCount = n > 1 ? n - 1 : 0;
  const int prevCount = order > 1 ? order - 1 : 0;
  auto data = std::make_unique<float[]>(series.size());
  std::copy(series.begin(), series.end(), data.get());
  auto coeff = std::make_unique<double[]>(order);
  auto fwd = std::make_unique<double[]>(errorCount);
  auto bwd = std::make_unique<double[]>(errorCount);
  auto prev = std::make_unique<double[]>(prevCount);
  BurgResult r;
  memcof(data.get(), n, order, r.meanSquare, coeff.get(), fwd.get(), bwd.get(), prev.get());
  r.coeff.assign(coeff.get(), coeff.get() + order);
  return r;
}

BurgResult plainBurg(const std::vector<float>& series, int order) {
  const textbook::BurgResult t = textbook::burg(series, order);
  return BurgResult{t.coeff, t.meanSquare};
}

const std::vector<float> kGeometric = {1.0f, 0.5f, 0.25f, 0.125f};

TEST(Memcof, GeometricSeriesOrderOne) {
  const BurgResult r = runMemcof(kGeometric, 1);
  EXPECT_DOUBLE_EQ(r.coeff[0], 0.8);
  EXPECT_DOUBLE_EQ(r.meanSquare, 0.36 * 85.0 / 256.0);
}

TEST(Memcof, GeometricSeriesOrderTwo) {
  const BurgResult r = runMemcof(kGeometric, 2);
  EXPECT_DOUBLE_EQ(r.coeff[0], 20.0 / 17.0);
  EXPECT_DOUBLE_EQ(r.coeff[1], -8.0 / 17.0);
}

TEST(Memcof, GeometricSeriesOrderThreeIsFinite) {
  const BurgResult r = runMemcof(kGeometric, 3);
  for (double c : r.coeff) EXPECT_TRUE(std::isfinite(c));
  EXPECT_TRUE(std::isfinite(r.meanSquare));
}

TEST(Memcof, AnyGeometricSeriesGivesTwoROverOnePlusRSquared) {
  // Ratios whose powers float holds exactly over these lengths.
  for (double ratio : {0.5, -0.5, 0.25, 0.75, -0.75, 2.0, -2.0}) {
    for (int n : {2, 3, 7, 15}) {
      std::vector<float> series;
      double v = 1.0;
      for (int i = 0; i < n; ++i, v *= ratio) series.push_back(static_cast<float>(v));
      const BurgResult r = runMemcof(series, 1);
      const double expected = 2.0 * ratio / (1.0 + ratio * ratio);
      EXPECT_NEAR(r.coeff[0], expected, 1e-15) << "ratio " << ratio << " n " << n;
    }
  }
}

TEST(Memcof, AlternatingSeriesGivesMinusOneExactlyAndZeroDiscrepancy) {
  const BurgResult r = runMemcof({1.0f, -1.0f, 1.0f, -1.0f, 1.0f}, 1);
  EXPECT_EQ(r.coeff[0], -1.0);
  EXPECT_EQ(r.meanSquare, 0.0);
}

TEST(Memcof, OrderOneLeavesPreviousCoefficientsAndErrorsAsCopied) {
  const float series[] = {3.0f, -1.0f, 4.0f, 1.5f, -5.0f};
  double coeff[1] = {0.0};
  double fwd[4] = {};
  double bwd[4] = {};
  double prev[3] = {111.0, 222.0, 333.0};
  double meanSquare = 0.0;
  memcof(series, 5, 1, meanSquare, coeff, fwd, bwd, prev);
  EXPECT_EQ(prev[0], 111.0);
  EXPECT_EQ(prev[1], 222.0);
  EXPECT_EQ(prev[2], 333.0);
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(fwd[j], series[j]);
    EXPECT_EQ(bwd[j], series[j + 1]);
  }
}

// Zero denominators: every coefficient stays finite and the recursion carries on with zeros.
struct ZeroDenominatorCase {
  const char* name;
  std::vector<float> series;
  int order;
  std::vector<double> expected;
  double expectedMeanSquare;
};

TEST(Memcof, ZeroDenominatorGivesZeroReflectionNotNan) {
  const std::vector<ZeroDenominatorCase> cases = {
      {"all zero", {0, 0, 0, 0, 0, 0}, 4, {0, 0, 0, 0}, 0.0},
      {"alternating", {1, -1, 1, -1, 1}, 3, {-1, 0, 0}, 0.0},
      {"single value", {2.5f}, 3, {0, 0, 0}, 6.25},
      {"empty", {}, 2, {0, 0}, 0.0},
      {"two values, order past n", {3, 3}, 4, {1, 0, 0, 0}, 0.0},
  };
  for (const auto& c : cases) {
    const BurgResult r = runMemcof(c.series, c.order);
    EXPECT_EQ(r.coeff, c.expected) << c.name;
    EXPECT_EQ(r.meanSquare, c.expectedMeanSquare) << c.name;
  }
}

TEST(Memcof, NegativeLengthReadsNothingAndGivesZeros) {
  double coeff[2] = {5.0, 6.0};
  double prev[1] = {};
  double meanSquare = -1.0;
  memcof(nullptr, -3, 2, meanSquare, coeff, nullptr, nullptr, prev);
  EXPECT_EQ(coeff[0], 0.0);
  EXPECT_EQ(coeff[1], 0.0);
  EXPECT_EQ(meanSquare, 0.0);
}

TEST(Memcof, OrderAtOrBeyondLengthStaysFiniteAndMatchesPlainBurg) {
  const std::vector<float> series = {0.3f, -1.2f, 2.0f, 0.7f, -0.4f};
  for (int order : {4, 5, 6, 12}) {
    const BurgResult r = runMemcof(series, order);
    for (double c : r.coeff) EXPECT_TRUE(std::isfinite(c)) << "order " << order;
    EXPECT_TRUE(std::isfinite(r.meanSquare));
    const BurgResult plain = plainBurg(series, order);
    EXPECT_EQ(r.coeff, plain.coeff) << "order " << order;
    // Beyond n - 1 every sum is empty: the extra coefficients add nothing.
    for (int k = 4; k < order; ++k) EXPECT_EQ(r.coeff[k], 0.0);
  }
}

TEST(Memcof, AgreesBitForBitWithPlainBurgOnRandomSeries) {
  std::mt19937 rng(2024);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  for (int trial = 0; trial < 60; ++trial) {
    const int n = 2 + static_cast<int>(rng() % 300);
    std::vector<float> series(n);
    float previous = 0.0f;
    for (float& v : series) v = previous = 0.6f * previous + noise(rng);  // some memory
    const int order = 1 + static_cast<int>(rng() % (trial % 3 == 0 ? n + 5 : std::min(n, 40)));
    const BurgResult r = runMemcof(series, order);
    const BurgResult plain = plainBurg(series, order);
    ASSERT_EQ(r.coeff, plain.coeff) << "n " << n << " order " << order;
    ASSERT_EQ(r.meanSquare, plain.meanSquare) << "n " << n << " order " << order;
  }
}

TEST(Memcof, RecoversAKnownAutoregressiveProcess) {
  // x(t) = 1.2 x(t-1) - 0.5 x(t-2) + noise: a long series gives coefficients close to these.
  std::mt19937 rng(7);
  std::normal_distribution<double> noise(0.0, 1.0);
  std::vector<float> series(20000);
  double x1 = 0.0;
  double x2 = 0.0;
  for (float& v : series) {
    const double x = 1.2 * x1 - 0.5 * x2 + noise(rng);
    v = static_cast<float>(x);
    x2 = x1;
    x1 = x;
  }
  const BurgResult r = runMemcof(series, 2);
  EXPECT_NEAR(r.coeff[0], 1.2, 0.03);
  EXPECT_NEAR(r.coeff[1], -0.5, 0.03);
  EXPECT_NEAR(r.meanSquare, 1.0, 0.05);
}

// A filter needs at least one coefficient: asked for fewer, memcof computes the mean square and
// nothing else, and reads no work array (none is given here).
TEST(Memcof, OrderBelowOneLeavesTheCoefficientsAlone) {
  for (int order : {0, -3}) {
    const float series[] = {1.0f, 2.0f, 3.0f};
    double coeff[2] = {7.0, 8.0};
    double meanSquare = 0.0;
    memcof(series, 3, order, meanSquare, coeff, nullptr, nullptr, nullptr);
    EXPECT_EQ(coeff[0], 7.0) << order;
    EXPECT_EQ(coeff[1], 8.0) << order;
    EXPECT_EQ(meanSquare, 14.0 / 3.0) << order;
  }
}

}  // namespace
