#include "analysis/chronology.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ringsmooth {
namespace {

// The median m of sorted[0..n), n >= 2, and the median of |sorted[i] - m|: an even count's
// median is the mean of its two middle values. The deviations grow outward from the middle of
// the sorted values, so the smallest of them are taken in order by walking out from there, one
// side or the other, without sorting them.
void sortedMedians(const double sorted[], int n, double& m, double& deviation) {
  const int half = n / 2;
  const bool odd = n % 2 == 1;
  m = odd ? sorted[half] : (sorted[half - 1] + sorted[half]) / 2.0;
  int left = half - 1;
  int right = half;
  double previous = 0.0;
  double current = 0.0;
  for (int taken = 0; taken <= half; ++taken) {
    const double fromLeft = left >= 0 ? std::fabs(sorted[left] - m) : HUGE_VAL;
    const double fromRight = right < n ? std::fabs(sorted[right] - m) : HUGE_VAL;
    previous = current;
    if (fromLeft <= fromRight) {
      current = fromLeft;
      --left;
    } else {
      current = fromRight;
      ++right;
    }
  }
  // `current` is the deviation of rank half (from 0), `previous` the one below it.
  deviation = odd ? current : (previous + current) / 2.0;
}

// The median of v[0..n), n >= 1, reordering v: found by selection, without a full sort.
double selectedMedian(double v[], int n) {
  const int half = n / 2;
  std::nth_element(v, v + half, v + n);
  if (n % 2 == 1) return v[half];
  return (*std::max_element(v, v + half) + v[half]) / 2.0;
}

// Up to this many values, sorting them once and walking out from the middle is quicker than
// two selections; beyond, the selections are (about 1.6 times at 350 values).
constexpr int SORTED_MEDIANS_MOST = 48;

}  // namespace

double biweightMean(const double x[], int n, double scratch[]) {
  if (n == 1) return x[0];
  std::copy(x, x + n, scratch);
  double m = 0.0;
  double deviation = 0.0;
  if (n <= SORTED_MEDIANS_MOST) {
    std::sort(scratch, scratch + n);
    sortedMedians(scratch, n, m, deviation);
  } else {
    m = selectedMedian(scratch, n);
    for (int i = 0; i < n; ++i) scratch[i] = std::fabs(x[i] - m);
    deviation = selectedMedian(scratch, n);
  }
  const double scale = 9.0 * deviation + 1e-6;
  double weighted = 0.0;
  double weights = 0.0;
  for (int i = 0; i < n; ++i) {
    const double u = (x[i] - m) / scale;
    if (std::fabs(u) > 1.0) continue;
    const double closeness = 1.0 - u * u;
    const double w = closeness * closeness;
    weighted += w * x[i];
    weights += w;
  }
  return weighted / weights;
}

void chronology(const YearIndices& indices, int years, double mean[], double scratch[]) {
  for (int j = 0; j < years; ++j) {
    const int depth = indices.depth[j];
    mean[j] = depth == 0 ? std::numeric_limits<double>::quiet_NaN()
                         : biweightMean(indices.values + indices.start[j], depth, scratch);
  }
}

}  // namespace ringsmooth
