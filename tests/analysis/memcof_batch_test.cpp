// Several filters at once must be exactly the filters memcof gives one by one.
#include "analysis/memcof_batch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "analysis/memcof.h"

namespace ringsmooth {
namespace {

bool sameBits(double a, double b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The series kinds that exercise every path: ordinary noise, constants and alternations (zero
// denominators from some order on), a NaN or an infinity inside, and very short series.
std::vector<float> makeSeries(std::mt19937& rng, int kind, int n) {
  std::normal_distribution<float> noise(0.0f, 1.0f);
  std::vector<float> x(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    switch (kind) {
      case 0: x[i] = noise(rng); break;
      case 1: x[i] = 0.0f; break;
      case 2: x[i] = (i % 2) ? -1.5f : 1.5f; break;
      case 3: x[i] = noise(rng) + (i == n / 2 ? std::numeric_limits<float>::quiet_NaN() : 0.0f); break;
      default: x[i] = i == 0 ? std::numeric_limits<float>::infinity() : noise(rng); break;
    }
  }
  return x;
}

TEST(MemcofBatch, AgreesBitForBitWithOneSeriesAtATime) {
  std::mt19937 rng(2026);
  std::uniform_int_distribution<int> lengthOf(0, 120);
  // Both kernels where the machine has the wide one; one work area for every round of a kernel:
  // nothing may carry over from the round before.
  for (int width : {MEMCOF_LANES, MEMCOF_MAX_LANES}) {
  BurgWork burg(width);
  SCOPED_TRACE("kernel of " + std::to_string(burg.lanes()) + " lanes");
  for (int round = 0; round < 200; ++round) {
    const int count = 1 + round % burg.lanes();
    const int order = 1 + static_cast<int>(rng() % 140);  // often at or beyond the series length
    std::vector<std::vector<float>> series(count);
    std::vector<int> n(count);
    std::vector<const float*> pointers(count);
    std::vector<std::vector<double>> coeff(count, std::vector<double>(order, -7.0));
    std::vector<double*> coeffPointers(count);
    std::vector<double> meanSquare(count, -7.0);
    for (int s = 0; s < count; ++s) {
      n[s] = lengthOf(rng);
      const int kind = (round + s) % 7 < 3 ? 0 : (round + s) % 7 - 2;
      series[s] = makeSeries(rng, kind, n[s]);
      pointers[s] = series[s].data();
      coeffPointers[s] = coeff[s].data();
    }
    memcofBatch(count, pointers.data(), n.data(), order, meanSquare.data(), coeffPointers.data(),
                burg);
    for (int s = 0; s < count; ++s) {
      const size_t work = static_cast<size_t>(std::max(n[s], order)) + 1;
      std::vector<double> expected(order, -7.0), f(work), b(work), prev(work);
      double expectedMeanSquare = -7.0;
      memcof(series[s].data(), n[s], order, expectedMeanSquare, expected.data(), f.data(), b.data(),
             prev.data());
      ASSERT_TRUE(sameBits(meanSquare[s], expectedMeanSquare))
          << "round " << round << " lane " << s << " n " << n[s] << " order " << order;
      for (int i = 0; i < order; ++i) {
        ASSERT_TRUE(sameBits(coeff[s][i], expected[i]))
            << "round " << round << " lane " << s << " n " << n[s] << " order " << order
            << " coefficient " << i << ": " << coeff[s][i] << " vs " << expected[i];
      }
    }
  }
  }
}

TEST(MemcofBatch, LongSeriesAndLongOrders) {
  std::mt19937 rng(7);
  const int order = 600;
  std::vector<std::vector<float>> series;
  std::vector<int> n = {10000, 9000, 700, 601, 600, 8000, 3, 9999};
  BurgWork burg;
  n.resize(static_cast<std::size_t>(burg.lanes()), 5000);
  std::vector<const float*> pointers;
  for (int length : n) series.push_back(makeSeries(rng, 0, length));
  for (auto& s : series) pointers.push_back(s.data());
  std::vector<std::vector<double>> coeff(n.size(), std::vector<double>(order));
  std::vector<double*> coeffPointers;
  for (auto& c : coeff) coeffPointers.push_back(c.data());
  std::vector<double> meanSquare(n.size());
  memcofBatch(static_cast<int>(n.size()), pointers.data(), n.data(), order, meanSquare.data(),
              coeffPointers.data(), burg);
  std::vector<double> expected(order), f(10000), b(10000), prev(10000);
  for (size_t s = 0; s < n.size(); ++s) {
    double ms = 0;
    memcof(series[s].data(), n[s], order, ms, expected.data(), f.data(), b.data(), prev.data());
    EXPECT_TRUE(sameBits(meanSquare[s], ms)) << s;
    for (int i = 0; i < order; ++i) ASSERT_TRUE(sameBits(coeff[s][i], expected[i])) << s << " " << i;
  }
}

}  // namespace
}  // namespace ringsmooth
