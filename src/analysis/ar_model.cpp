#include "analysis/ar_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ringsmooth {
namespace {

// The order the AIC may choose for a series of n values.
int highestOrder(int n) {
  const int byLength = static_cast<int>(std::floor(10.0 * std::log10(static_cast<double>(n))));
  return std::clamp(std::min(n - 1, byLength), 0, AR_MOST_ORDER);
}

// The autocovariances of the centred d[0..n) at lags 0..most, each sum divided by n.
void autocovariances(const double d[], int n, int most, double r[]) {
  for (int lag = 0; lag <= most; ++lag) {
    double sum = 0.0;
    for (int t = 0; t + lag < n; ++t) sum += d[t + lag] * d[t];
    r[lag] = sum / n;
  }
}

// The coefficients a[1..order] of the order with the smallest AIC over the Levinson-Durbin
// recursion of the autocovariances r[0..most]. Returns the order.
int chosenOrder(const double r[], int n, int most, double best[]) {
  double a[AR_MOST_ORDER + 1] = {};
  double previous[AR_MOST_ORDER + 1] = {};
  double v = r[0];
  double bestAic = n * std::log(v);
  int bestOrder = 0;
  for (int k = 1; k <= most; ++k) {
    std::copy(a, a + k, previous);
    double numerator = r[k];
    for (int j = 1; j < k; ++j) numerator -= previous[j] * r[k - j];
    const double partial = numerator / v;
    for (int j = 1; j < k; ++j) a[j] = previous[j] - partial * previous[k - j];
    a[k] = partial;
    v *= 1.0 - partial * partial;
    if (!(v > 0.0)) break;
    const double aic = n * std::log(v) + 2.0 * k;
    if (aic < bestAic) {
      bestAic = aic;
      bestOrder = k;
      std::copy(a, a + k + 1, best);
    }
  }
  return bestOrder;
}

}  // namespace

int arResiduals(const double x[], int n, double out[]) {
  double sum = 0.0;
  for (int t = 0; t < n; ++t) sum += x[t];
  const double mean = sum / n;
  // The centred series is kept in out[] until each residual replaces it, from the last year
  // back: residual t reads only years t and before, not yet replaced.
  for (int t = 0; t < n; ++t) out[t] = x[t] - mean;
  const int most = highestOrder(n);
  double r[AR_MOST_ORDER + 1];
  autocovariances(out, n, most, r);
  double a[AR_MOST_ORDER + 1];
  const int order = chosenOrder(r, n, most, a);
  for (int t = n - 1; t >= order; --t) {
    double residual = out[t];
    for (int j = 1; j <= order; ++j) residual -= a[j] * out[t - j];
    out[t] = residual + mean;
  }
  std::fill(out, out + order, std::numeric_limits<double>::quiet_NaN());
  return order;
}

int residualIndices(const double index[], int n, double out[], double work[]) {
  double* present = work;
  double* residual = work + n;
  int count = 0;
  for (int i = 0; i < n; ++i) {
    if (!std::isnan(index[i])) present[count++] = index[i];
  }
  const int order = count > 0 ? arResiduals(present, count, residual) : 0;
  for (int i = 0, taken = 0; i < n; ++i) {
    out[i] = std::isnan(index[i]) ? index[i] : residual[taken++];
  }
  return order;
}

}  // namespace ringsmooth
