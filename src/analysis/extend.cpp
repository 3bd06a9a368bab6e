#include "analysis/extend.h"

#include <algorithm>

namespace ringsmooth {

namespace {

// Prediction of series[target] from the `terms` values before it: coeff[0] multiplies the
// nearest one. Double-precision products and sum, ascending in the coefficient index.
double predictForward(const float series[], int target, const double coeff[], int terms) {
  double sum = 0.0;
  for (int k = 1; k <= terms; ++k) {
    sum = sum + coeff[k - 1] * static_cast<double>(series[target - k]);
  }
  return sum;
}

// Prediction of series[target] from the `terms` values after it, same coefficients and order.
double predictBackward(const float series[], int target, const double coeff[], int terms) {
  double sum = 0.0;
  for (int k = 1; k <= terms; ++k) {
    sum = sum + coeff[k - 1] * static_cast<double>(series[target + k]);
  }
  return sum;
}

}  // namespace

void extend(float series[], int n, int pad, const double coeff[], int order, int direction) {
  if (pad <= 0 || n < 0) {
    return;
  }
  const bool forwardWanted = direction == 0 || direction == 1;
  const bool backwardWanted = direction == 0 || direction == -1;
  const int usable = std::max(order, 0);
  for (int i = 1; i <= pad; ++i) {
    const int forwardTarget = pad + n + i - 1;  // index of position pad+n+i
    const int backwardTarget = pad - i;         // index of position pad-i+1
    // Both sums read (pad + n + i - 1) positions at most before hitting an end of the array:
    // the forward one down to index 0, the backward one up to index n + 2*pad - 1.
    const int reach = std::min(usable, pad + n + i - 1);
    const double forward =
        forwardWanted ? predictForward(series, forwardTarget, coeff, reach) : 0.0;
    const double backward =
        backwardWanted ? predictBackward(series, backwardTarget, coeff, reach) : 0.0;
    series[forwardTarget] = static_cast<float>(forward);
    series[backwardTarget] = static_cast<float>(backward);
  }
}

}  // namespace ringsmooth
