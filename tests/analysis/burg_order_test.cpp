// The Burg discrepancy of every order from one pass, and the order an information criterion
// picks: against the textbook recursion and against criteria worked out by hand.
#include "analysis/burg_order.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "analysis/memcof.h"
#include "support/textbook_burg.h"

namespace {

using ringsmooth::OrderCriterion;

// A persistent series with two cycles and a deterministic jitter (no random numbers).
std::vector<float> cycles(int n) {
  std::vector<float> s;
  for (int i = 0; i < n; ++i) {
    const double jitter = std::fmod(i * 0.6180339887, 1.0) - 0.5;
    s.push_back(static_cast<float>(std::sin(0.3 * i) + 0.5 * std::sin(1.7 * i) + jitter));
  }
  return s;
}

TEST(BurgErrorPowers, EveryOrderIsTheTextbookMeanSquare) {
  const struct {
    std::vector<float> series;
    int maxOrder;
  } cases[] = {
      {{1.0f, 0.5f, 0.25f, 0.125f}, 3},
      {{1, -1, 1, -1, 1}, 3},  // exact at order 1, zero denominators after
      {{2.5f}, 2},
      {{0.3f, -1.2f, 2.0f, 0.7f, -0.4f}, 8},  // orders past n - 1
      {cycles(120), 30},
  };
  for (const auto& c : cases) {
    const int n = static_cast<int>(c.series.size());
    // Work arrays of exactly the documented sizes, so ASan sees any access outside them.
    const auto fwd = std::make_unique<double[]>(n - 1 > 0 ? n - 1 : 0);
    const auto bwd = std::make_unique<double[]>(n - 1 > 0 ? n - 1 : 0);
    std::vector<double> power(c.maxOrder + 2, -7.0);
    ringsmooth::burgErrorPowers(c.series.data(), n, c.maxOrder, power.data(), fwd.get(),
                                bwd.get());
    for (int k = 0; k <= c.maxOrder; ++k) {
      EXPECT_EQ(power[k], textbook::burg(c.series, k).meanSquare) << "n " << n << " order " << k;
    }
    EXPECT_EQ(power[c.maxOrder + 1], -7.0) << "n " << n;
  }
}

TEST(OrderByCriterion, PicksTheOrderOfTheSmallestCriterion) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* what;
    std::vector<double> power;
    int n, cap;
    OrderCriterion criterion;
    int expected;
  } cases[] = {
      // AIC 0, -4.93, -3.13, -17.03; FPE 1.222, 0.750, 0.910, 0.233
      {"AIC, whole range", {1, .5, .49, .1}, 10, 3, OrderCriterion::Aic, 3},
      {"AIC, capped", {1, .5, .49, .1}, 10, 2, OrderCriterion::Aic, 1},
      {"FPE, whole range", {1, .5, .49, .1}, 10, 3, OrderCriterion::Fpe, 3},
      {"FPE, capped", {1, .5, .49, .1}, 10, 2, OrderCriterion::Fpe, 1},
      // AIC -0.046 against 0; FPE 1.2225 against 1.2222: the two disagree
      {"AIC takes a small gain", {1, .815}, 10, 1, OrderCriterion::Aic, 1},
      {"FPE does not", {1, .815}, 10, 1, OrderCriterion::Fpe, 0},
      {"exact prediction, AIC: lowest", {1, 0, 0}, 10, 2, OrderCriterion::Aic, 1},
      {"exact prediction, FPE: lowest", {1, 0, 0}, 10, 2, OrderCriterion::Fpe, 1},
      {"NaN never wins", {1, nan, .1}, 10, 2, OrderCriterion::Aic, 2},
      {"NaN at order 0", {nan, .5}, 10, 1, OrderCriterion::Fpe, 1},
      {"NaN everywhere: order 0", {nan, nan}, 10, 1, OrderCriterion::Aic, 0},
      {"cap cut to n - 2", {1, .5, .4, .01}, 4, 3, OrderCriterion::Aic, 1},
      {"no order to try", {1, .01}, 10, 0, OrderCriterion::Aic, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ringsmooth::orderByCriterion(c.power.data(), c.n, c.cap, c.criterion), c.expected)
        << c.what;
  }
}

TEST(CriterionOrderCap, TenLog10OfTheLengthWithinTheSeries) {
  const int cases[][2] = {{-1, 0}, {2, 0}, {3, 1}, {5, 3}, {100, 20}, {250, 23}, {1000, 30},
                          {10000, 40}};
  for (const auto& c : cases) EXPECT_EQ(ringsmooth::criterionOrderCap(c[0]), c[1]) << c[0];
}

}  // namespace
