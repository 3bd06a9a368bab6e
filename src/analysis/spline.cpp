#include "analysis/spline.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ringsmooth {

namespace {

using spline_constants::C1;
using spline_constants::C2;
using spline_constants::PI;

// Band work area, made once for the whole run. Row i holds the lower band of row i of the
// system: [0] element (i, i-2), [1] element (i, i-1), [2] the diagonal. After the decomposition
// [0] and [1] hold the factor L and [2] the reciprocal of L's diagonal.
double band[SPLINE_MAX_LENGTH][3];
// Right-hand side, then the forward solution, then u.
double rhs[SPLINE_MAX_LENGTH];

// Smoothing parameter for a 50% response at `cutoff` steps: 6(cos w - 1)^2 / (cos w + 2).
double smoothingParameter(int cutoff) {
  const double w = (2.0 * PI) / static_cast<double>(cutoff);
  const double c = std::cos(w);
  const double d = c - 1.0;
  return (6.0 * (d * d)) / (c + 2.0);
}

// Fills the m rows of the band system QᵀQ + p·T and the right-hand side Qᵀ·series.
void buildBandSystem(int m, const float series[], double p) {
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j < 3; ++j) {
      band[i][j] = p * C2[j] + C1[j];
    }
    const double left = static_cast<double>(series[i]);
    const double middle = static_cast<double>(series[i + 1]);
    const double right = static_cast<double>(series[i + 2]);
    rhs[i] = (-2.0 * middle + left) + right;
  }
  band[0][0] = 0.0;
  band[0][1] = 0.0;
  band[1][0] = 0.0;
}

// Cholesky decomposition in place, row by row. Returns false when a pivot does not increase the
// diagonal it was built from (scaled by 1/(16m)): the matrix is not safely positive definite.
bool decomposeBand(int m) {
  const double rel = 1.0 / (16.0 * static_cast<double>(m));
  for (int i = 0; i < m; ++i) {
    for (int j = std::max(0, 2 - i); j < 3; ++j) {
      const int q = i + j - 2;  // factor row that meets this element
      double s = band[i][j];
      for (int k = 0; k < j; ++k) {
        s = s - band[i][k] * band[q][2 - j + k];
      }
      if (j < 2) {
        band[i][j] = s * band[q][2];
        continue;
      }
      const double t = s * rel;
      if (band[i][2] >= band[i][2] + t) {
        return false;
      }
      band[i][2] = 1.0 / std::sqrt(s);
    }
  }
  return true;
}

// Solves L·z = rhs in place. Leading rows with a zero right-hand side stay zero and are skipped.
void forwardSubstitute(int m) {
  bool started = false;
  int kk = 0;
  for (int i = 0; i < m; ++i) {
    double s = rhs[i];
    if (started) {
      kk = std::min(kk + 1, 2);
      for (int back = kk; back >= 1; --back) {
        s = s - band[i][2 - back] * rhs[i - back];
      }
    } else if (s != 0.0) {  // also true for NaN
      started = true;
    }
    rhs[i] = s * band[i][2];
  }
}

// Solves Lᵀ·u = z in place.
void backSubstitute(int m) {
  rhs[m - 1] = rhs[m - 1] * band[m - 1][2];
  for (int kk = m - 2; kk >= 0; --kk) {
    double s = rhs[kk];
    const int last = std::min(m - 1, kk + 2);
    for (int j = kk + 1; j <= last; ++j) {
      s = s - band[j][2 - (j - kk)] * rhs[j];
    }
    rhs[kk] = s * band[kk][2];
  }
}

// smoothed = series - Q·u, Q·u formed in double and rounded to single, then a single subtraction.
void subtractSecondDifferences(int n, const float series[], float smoothed[]) {
  const int m = n - 2;
  const double* u = rhs;
  smoothed[0] = static_cast<float>(u[0]);
  smoothed[1] = static_cast<float>(-2.0 * u[0] + u[1]);
  for (int k = 2; k < m; ++k) {
    smoothed[k] = static_cast<float>((-2.0 * u[k - 1] + u[k - 2]) + u[k]);
  }
  smoothed[n - 2] = static_cast<float>(-2.0 * u[m - 1] + u[m - 2]);
  smoothed[n - 1] = static_cast<float>(u[m - 1]);
  for (int k = 0; k < n; ++k) {
    smoothed[k] = series[k] - smoothed[k];
  }
}

}  // namespace

void writeSplineLengthMessage() {
  std::fputs(
      "\n"
      " *** series too long for spline subroutine ***\n"
      "  *** enlarge mxy parameter in subroutine ***\n"
      "\n",
      stdout);
  std::fflush(stdout);
}

void spline(int n, const float series[], float smoothed[], float& p, int cutoff) {
  if (n < 4) {
    smoothed[0] = SPLINE_TOO_SHORT;
    return;
  }
  if (n > SPLINE_MAX_LENGTH) {
    writeSplineLengthMessage();
    throw SeriesTooLong{};
  }
  const int m = n - 2;
  const double parameter = smoothingParameter(cutoff);
  p = static_cast<float>(parameter);
  buildBandSystem(m, series, parameter);
  if (!decomposeBand(m)) {
    smoothed[0] = SPLINE_NOT_POSITIVE;
    std::fputs(">> sbr spline: matrix not positive definite\n", stdout);
    std::fflush(stdout);
    return;
  }
  forwardSubstitute(m);
  backSubstitute(m);
  subtractSecondDifferences(n, series, smoothed);
}

}  // namespace ringsmooth
