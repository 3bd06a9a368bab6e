#include "analysis/series_stats.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ringsmooth {
namespace {

// The moments about the mean of y[0..m) that the summary needs.
struct Moments {
  double squares;  // sum d^2
  double cubes;    // sum d^3
  double fourths;  // sum d^4
  double lagged;   // sum d_t d_{t+1}
};

Moments momentsAbout(const double y[], int m, double mean) {
  Moments s{0.0, 0.0, 0.0, 0.0};
  for (int t = 0; t < m; ++t) {
    const double d = y[t] - mean;
    s.squares += d * d;
    s.cubes += d * d * d;
    s.fourths += d * d * d * d;
    if (t + 1 < m) s.lagged += d * (y[t + 1] - mean);
  }
  return s;
}

// The median and Gini coefficient of the sorted y[0..m), m >= 1.
void fromSorted(const double y[], int m, SeriesSummary& s) {
  s.median = m % 2 == 1 ? y[m / 2] : (y[m / 2 - 1] + y[m / 2]) / 2.0;
  double weighted = 0.0;
  double sum = 0.0;
  for (int i = 0; i < m; ++i) {
    weighted += (2.0 * (i + 1) - m - 1) * y[i];
    sum += y[i];
  }
  s.gini = sum == 0.0 ? std::numeric_limits<double>::quiet_NaN() : weighted / (m * sum);
}

}  // namespace

SeriesSummary seriesSummary(const double x[], int n, int firstYear, double missingFlag,
                            double scratch[]) {
  const double none = std::numeric_limits<double>::quiet_NaN();
  SeriesSummary s{0, -1, 0, none, none, none, none, none, none, none};
  int m = 0;
  for (int i = 0; i < n; ++i) {
    if (std::isnan(x[i]) || x[i] == missingFlag) continue;
    if (m == 0) s.first = i;
    s.last = i;
    scratch[m++] = x[i];
  }
  if (m == 0) return SeriesSummary{0, 0, 0, none, none, none, none, none, none, none};
  s.years = s.last - s.first + 1;
  s.first += firstYear;
  s.last += firstYear;
  double sum = 0.0;
  for (int t = 0; t < m; ++t) sum += scratch[t];
  s.mean = sum / m;
  const Moments d = momentsAbout(scratch, m, s.mean);
  s.stdev = std::sqrt(d.squares / (m - 1));
  s.skew = d.cubes / (m * s.stdev * s.stdev * s.stdev);
  const double shrink = 1.0 - 1.0 / m;
  s.kurtosis = m * d.fourths / (d.squares * d.squares) * shrink * shrink - 3.0;
  s.ar1 = d.lagged / d.squares;
  std::sort(scratch, scratch + m);
  fromSorted(scratch, m, s);
  return s;
}

}  // namespace ringsmooth
