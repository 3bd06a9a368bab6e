#include "analysis/chronology.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ringsmooth {
namespace {

// The median of sorted[0..n), n >= 1.
double sortedMedian(const double sorted[], int n) {
  const int half = n / 2;
  return n % 2 == 1 ? sorted[half] : (sorted[half - 1] + sorted[half]) / 2.0;
}

}  // namespace

double biweightMean(const double x[], int n, double scratch[]) {
  if (n == 1) return x[0];
  std::copy(x, x + n, scratch);
  std::sort(scratch, scratch + n);
  const double m = sortedMedian(scratch, n);
  for (int i = 0; i < n; ++i) scratch[i] = std::fabs(x[i] - m);
  std::sort(scratch, scratch + n);
  const double scale = 9.0 * sortedMedian(scratch, n) + 1e-6;
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

bool chronologySpan(const IndexColumns& c, int& firstYear, int& lastYear) {
  bool any = false;
  for (int k = 0; k < c.seriesCount; ++k) {
    const double* column = c.index + k * c.stride;
    int first = 0;
    int last = c.yearCount[k] - 1;
    while (first <= last && std::isnan(column[first])) ++first;
    while (last >= first && std::isnan(column[last])) --last;
    if (first > last) continue;
    const int from = c.firstYear[k] + first;
    const int to = c.firstYear[k] + last;
    firstYear = any ? std::min(firstYear, from) : from;
    lastYear = any ? std::max(lastYear, to) : to;
    any = true;
  }
  return any;
}

void chronology(const IndexColumns& c, int firstYear, int years, double value[], int depth[],
                double gathered[], double scratch[]) {
  for (int j = 0; j < years; ++j) {
    const int year = firstYear + j;
    int count = 0;
    for (int k = 0; k < c.seriesCount; ++k) {
      const int at = year - c.firstYear[k];
      if (at < 0 || at >= c.yearCount[k]) continue;
      const double index = c.index[k * c.stride + at];
      if (!std::isnan(index)) gathered[count++] = index;
    }
    depth[j] = count;
    value[j] = count == 0 ? std::numeric_limits<double>::quiet_NaN()
                          : biweightMean(gathered, count, scratch);
  }
}

}  // namespace ringsmooth
