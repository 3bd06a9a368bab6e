// End extension by linear prediction: the worked arrays, the direction switch, positions that
// must stay untouched, and the cut of an order that would reach past the array.
#include "analysis/extend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

using ringsmooth::extend;

// Copies `values` into a heap array of exactly that many floats (ASan guards both ends), runs
// extend, and returns the array.
std::vector<float> runExtend(const std::vector<float>& values, int n, int pad,
                             const std::vector<double>& coeff, int order, int direction) {
  auto data = std::make_unique<float[]>(values.size());
  std::copy(values.begin(), values.end(), data.get());
  auto c = std::make_unique<double[]>(coeff.size());
  std::copy(coeff.begin(), coeff.end(), c.get());
  extend(data.get(), n, pad, c.get(), order, direction);
  return std::vector<float>(data.get(), data.get() + values.size());
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

const std::vector<float> kGeometricPadded = {9.0f, 9.0f, 1.0f, 0.5f, 0.25f, 0.125f, 9.0f, 9.0f};

struct DirectionCase {
  int direction;
  std::vector<float> expected;
};

TEST(Extend, GeometricSeriesPerDirection) {
  const float a = 0.64f, b = 0.8f, c = 0.1f, d = 0.08f;  // nearest floats of the exact values
  const std::vector<DirectionCase> cases = {
      {0, {a, b, 1.0f, 0.5f, 0.25f, 0.125f, c, d}},
      {1, {0.0f, 0.0f, 1.0f, 0.5f, 0.25f, 0.125f, c, d}},
      {-1, {a, b, 1.0f, 0.5f, 0.25f, 0.125f, 0.0f, 0.0f}},
      {5, {0.0f, 0.0f, 1.0f, 0.5f, 0.25f, 0.125f, 0.0f, 0.0f}},
  };
  for (const auto& tc : cases) {
    const auto out = runExtend(kGeometricPadded, 4, 2, {0.8}, 1, tc.direction);
    EXPECT_EQ(out, tc.expected) << "direction " << tc.direction;
  }
}

TEST(Extend, ZeroOrNegativePadReadsAndWritesNothing) {
  const std::vector<float> values = {1.0f, 2.0f, 3.0f, 4.0f};
  EXPECT_EQ(runExtend(values, 4, 0, {0.5}, 1, 0), values);
  // A negative pad: nothing may be touched, not even the coefficients.
  float series[4] = {1.0f, 2.0f, 3.0f, 4.0f};
  extend(series, 4, -2, nullptr, 3, 0);
  EXPECT_EQ(std::vector<float>(series, series + 4), values);
}

TEST(Extend, ZeroOrNegativeOrderFillsZeros) {
  for (int order : {0, -4}) {
    const auto out = runExtend(kGeometricPadded, 4, 2, {}, order, 0);
    EXPECT_EQ(out, (std::vector<float>{0, 0, 1.0f, 0.5f, 0.25f, 0.125f, 0, 0})) << order;
  }
}

// Plain prediction written out position by position with 1-based positions as on paper: a term
// whose position falls outside 1..size is left out.
std::vector<float> referenceExtend(std::vector<float> s, int n, int pad,
                                   const std::vector<double>& coeff, int direction) {
  const int size = n + 2 * pad;
  auto at = [&](int position) -> float& { return s[position - 1]; };
  for (int i = 1; i <= pad; ++i) {
    double forward = 0.0;
    double backward = 0.0;
    for (int k = 1; k <= static_cast<int>(coeff.size()); ++k) {
      const int before = pad + n + i - k;
      const int after = pad - i + 1 + k;
      if ((direction == 0 || direction == 1) && before >= 1) forward += coeff[k - 1] * at(before);
      if ((direction == 0 || direction == -1) && after <= size)
        backward += coeff[k - 1] * at(after);
    }
    at(pad + n + i) = static_cast<float>(forward);
    at(pad - i + 1) = static_cast<float>(backward);
  }
  return s;
}

// Rows of trials against the plain prediction, bit for bit: random values and weights, or given
// ones. The order of a sum and each rounding show where large terms cancel: 1 + 1e20 - 1e20 is
// 0 added in this order, 1 in the other.
struct PredictionRow {
  const char* label;
  float large;                  // random values: 0 for [-2, 2]; else +-1 and +-large, weights +-1
  std::vector<float> values;    // or this series
  std::vector<double> weights;  // with these coefficients
};

TEST(Extend, AgreesWithPlainPredictionAndNeverWritesTheSeries) {
  const PredictionRow rows[] = {
      {"values in [-2, 2]", 0.0f, {}, {}},
      {"+-1 and +-1e20, weights +-1", 1e20f, {}, {}},
      {"1 + 1e20 - 1e20 backward, -1e20 + 1e20 + 1 forward", 0.0f, {1.0f, 1e20f, -1e20f},
       {1, 1, 1}},
  };
  std::mt19937 rng(99);
  std::uniform_real_distribution<float> ordinary(-2.0f, 2.0f);
  std::uniform_real_distribution<double> ordinaryWeight(-0.6, 0.6);
  for (const PredictionRow& row : rows) {
    const auto sign = [&] { return rng() % 2 ? 1.0f : -1.0f; };
    const auto value = [&] {
      return row.large == 0.0f ? ordinary(rng) : sign() * (rng() % 2 ? row.large : 1.0f);
    };
    const auto weight = [&] { return row.large == 0.0f ? ordinaryWeight(rng) : double(sign()); };
    const bool given = !row.values.empty();
    for (int trial = 0; trial < (given ? 40 : 200); ++trial) {
      const int n = given ? static_cast<int>(row.values.size()) : static_cast<int>(rng() % 12);
      const int pad = 1 + static_cast<int>(rng() % 10);
      // Orders from 0 up to well past n + pad, where the cut comes in.
      const int order = given ? static_cast<int>(row.weights.size())
                              : static_cast<int>(rng() % (n + 2 * pad + 6));
      const int direction = given ? trial % 3 - 1 : static_cast<int>(rng() % 4) - 1;  // -1 .. 2
      std::vector<float> values(n + 2 * pad);
      for (float& v : values) v = value();
      if (given) std::copy(row.values.begin(), row.values.end(), values.begin() + pad);
      std::vector<double> coeff = row.weights;
      if (!given) {
        coeff.resize(order);
        for (double& c : coeff) c = weight();
      }
      const auto out = runExtend(values, n, pad, coeff, order, direction);
      const auto expected = referenceExtend(values, n, pad, coeff, direction);
      for (std::size_t i = 0; i < values.size(); ++i) {
        ASSERT_TRUE(sameBits(out[i], expected[i]))
            << row.label << ": n " << n << " pad " << pad << " order " << order << " direction "
            << direction << " index " << i << ": " << out[i] << " vs " << expected[i];
      }
      for (int i = pad; i < pad + n; ++i) ASSERT_TRUE(sameBits(out[i], values[i]));
    }
  }
}

TEST(Extend, LongOrderIsCutAtBothEndsOfTheArray) {
  // n 3, pad 2 (7 positions), order 50: step 1 may reach 5 positions on each side, step 2 six.
  std::vector<double> coeff(50, 0.0);
  coeff[0] = 1.0;    // nearest neighbour
  coeff[3] = 10.0;   // fourth neighbour
  coeff[4] = 100.0;  // fifth neighbour
  coeff[49] = 1e30;  // never inside
  const std::vector<float> values = {0.0f, 0.0f, 1.0f, 2.0f, 3.0f, 0.0f, 0.0f};
  const auto out = runExtend(values, 3, 2, coeff, 50, 0);
  // Both sums of a step are formed before either is stored.
  // Step 1, forward (position 6): 1*3 + 10*pos2(0) + 100*pos1(0) = 3.
  //         backward (position 2): 1*1 + 10*pos6(still 0) + 100*pos7(0) = 1.
  // Step 2, forward (position 7): 1*pos6(3) + 10*pos3(1) + 100*pos2(1) = 113.
  //         backward (position 1): 1*pos2(1) + 10*pos5(3) + 100*pos6(3) + 0*pos7 = 331.
  EXPECT_EQ(out, (std::vector<float>{331.0f, 1.0f, 1.0f, 2.0f, 3.0f, 3.0f, 113.0f}));
}

TEST(Extend, WithinTheSeriesEachEndIgnoresTheOther) {
  // order <= n: the forward values come out the same whether or not the start is extended.
  std::mt19937 rng(5);
  std::uniform_real_distribution<float> value(-1.0f, 1.0f);
  const int n = 20;
  const int pad = 15;
  std::vector<float> values(n + 2 * pad, 0.0f);
  for (int i = pad; i < pad + n; ++i) values[i] = value(rng);
  std::vector<double> coeff = {0.9, -0.3, 0.1, 0.05, -0.02};
  const auto both = runExtend(values, n, pad, coeff, 5, 0);
  const auto endOnly = runExtend(values, n, pad, coeff, 5, 1);
  const auto startOnly = runExtend(values, n, pad, coeff, 5, -1);
  for (int i = 0; i < pad; ++i) EXPECT_EQ(both[i], startOnly[i]);
  for (int i = pad + n; i < n + 2 * pad; ++i) EXPECT_EQ(both[i], endOnly[i]);
}

}  // namespace
