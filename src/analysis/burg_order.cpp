#include "analysis/burg_order.h"

#include <algorithm>
#include <cmath>

#include "analysis/memcof.h"

namespace ringsmooth {

namespace {

double criterionValue(double power, int n, int k, OrderCriterion criterion) {
  const double count = static_cast<double>(n);
  const double order = static_cast<double>(k);
  if (criterion == OrderCriterion::Aic) return count * std::log(power) + 2.0 * order;
  return power * (count + order + 1.0) / (count - order - 1.0);
}

}  // namespace

int criterionOrderCap(int n) {
  if (n < 3) return 0;
  const int cap = static_cast<int>(std::floor(10.0 * std::log10(static_cast<double>(n))));
  return std::min(cap, n - 2);
}

int orderByCriterion(const double power[], int n, int cap, OrderCriterion criterion) {
  const int last = std::min(cap, n - 2);
  int best = 0;
  double bestValue = criterionValue(power[0], n, 0, criterion);
  for (int k = 1; k <= last; ++k) {
    const double value = criterionValue(power[k], n, k, criterion);
    // A NaN never wins; a zero power gives -inf (AIC) or 0 (FPE) and wins against every
    // positive power.
    if (std::isnan(value)) continue;
    if (value < bestValue || std::isnan(bestValue)) {
      best = k;
      bestValue = value;
    }
  }
  return best;
}

int criterionOrder(const float series[], int n, OrderCriterion criterion, double power[],
                   double fwdError[], double bwdError[]) {
  const int cap = criterionOrderCap(n);
  if (cap < 1) return 0;
  burgErrorPowers(series, n, cap, power, fwdError, bwdError);
  return orderByCriterion(power, n, cap, criterion);
}

}  // namespace ringsmooth
