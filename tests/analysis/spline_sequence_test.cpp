// The spline keeps its factorization between calls; whatever came before, every call must give
// what a fresh, plain computation gives, bit for bit.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "analysis/spline.h"
#include "support/reference_pipeline.h"

namespace ringsmooth {
namespace {

TEST(SplineSequence, EveryCallMatchesAFreshComputation) {
  std::mt19937 rng(99);
  std::normal_distribution<float> noise(0.0f, 1.0f);
  // Lengths that grow, shrink and repeat; cutoffs that change and come back.
  const struct {
    int n;
    int cutoff;
  } calls[] = {{50, 10}, {200, 10}, {120, 10}, {200, 10}, {9000, 10}, {4, 10},  {300, 30},
               {100, 30}, {300, 10}, {5, 2},   {700, 2},   {60, 1},   {61, -30}, {250, 30},
               {10000, 100}, {9999, 100}, {17, 100}};
  SplineWork work;
  for (const auto& call : calls) {
    std::vector<float> series(call.n), smoothed(call.n);
    reference::Floats plain(call.n + 1);
    for (int i = 0; i < call.n; ++i) plain[i + 1] = series[i] = noise(rng);
    float p = 0.0f;
    spline(call.n, series.data(), smoothed.data(), p, call.cutoff, work);
    const reference::Floats expected = reference::smooth(plain, call.n, call.cutoff);
    for (int i = 0; i < call.n; ++i) {
      ASSERT_EQ(std::memcmp(&smoothed[i], &expected[i + 1], sizeof(float)), 0)
          << "n " << call.n << " cutoff " << call.cutoff << " position " << i << ": "
          << smoothed[i] << " vs " << expected[i + 1];
    }
  }
}

}  // namespace
}  // namespace ringsmooth
