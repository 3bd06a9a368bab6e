#include "analysis/spline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ringsmooth {

using spline_constants::C1;
using spline_constants::C2;
using spline_constants::PI;

// Row i of `band` holds the lower band of row i of the system: [0] element (i, i-2), [1] element
// (i, i-1), [2] the diagonal. After the decomposition [0] and [1] hold the factor L and [2] the
// reciprocal of L's diagonal.
struct SplineWork::Storage {
  double band[SPLINE_MAX_LENGTH][3];
  double pivot[SPLINE_MAX_LENGTH];  // s of each diagonal element before its square root
  int factoredRows = 0;
  double factoredParameter = 0.0;
  double rhs[SPLINE_MAX_LENGTH];  // right-hand side, then the forward solution, then u
};

// The arrays are left as they come: every call writes what it reads (the factor cache starts
// empty through factoredRows).
SplineWork::SplineWork() : storage_(std::make_unique_for_overwrite<Storage>()) {}
SplineWork::~SplineWork() = default;

double smoothingParameter(int cutoff) {
  const double w = (2.0 * PI) / static_cast<double>(cutoff);
  const double c = std::cos(w);
  const double d = c - 1.0;
  return (6.0 * (d * d)) / (c + 2.0);
}

double splineGain(double p, double period) {
  const double c = std::cos((2.0 * PI) / period);
  const double d = 2.0 - 2.0 * c;
  const double q = d * d;
  const double t = C2[2] + 2.0 * C2[1] * c;
  return (p * t) / (q + p * t);
}

namespace {

using Storage = SplineWork::Storage;

// The diagonal element of every row as built: p·C2 + C1.
double builtDiagonal(double p) { return p * C2[2] + C1[2]; }

// The right-hand side Qᵀ·series of the m-row system.
void buildRightHandSide(int m, const float series[], double rhs[]) {
  for (int i = 0; i < m; ++i) {
    const double left = static_cast<double>(series[i]);
    const double middle = static_cast<double>(series[i + 1]);
    const double right = static_cast<double>(series[i + 2]);
    rhs[i] = (-2.0 * middle + left) + right;
  }
}

// Makes rows 0 .. m-1 of the factor for parameter p: builds the band rows QᵀQ + p·T not yet
// factored and decomposes them in place, row by row (Cholesky).
void factorRows(int m, double p, Storage& w) {
  auto& band = w.band;
  if (std::memcmp(&p, &w.factoredParameter, sizeof p) != 0) {
    w.factoredRows = 0;
    w.factoredParameter = p;
  }
  for (int i = w.factoredRows; i < m; ++i) {
    for (int j = 0; j < 3; ++j) {
      band[i][j] = p * C2[j] + C1[j];
    }
    if (i < 2) band[i][0] = 0.0;
    if (i < 1) band[i][1] = 0.0;
    for (int j = std::max(0, 2 - i); j < 3; ++j) {
      const int q = i + j - 2;  // factor row that meets this element
      double s = band[i][j];
      for (int k = 0; k < j; ++k) {
        s = s - band[i][k] * band[q][2 - j + k];
      }
      if (j < 2) {
        band[i][j] = s * band[q][2];
      } else {
        w.pivot[i] = s;
        band[i][2] = 1.0 / std::sqrt(s);
      }
    }
  }
  if (m > w.factoredRows) w.factoredRows = m;
}

// The pivot test of an m-row system: every s, scaled by 1/(16m) and added to the diagonal
// element as built, must still increase it (s not positive, or negligibly small, fails; a NaN
// passes). False when the matrix is not safely positive definite.
bool pivotsHold(int m, double p, const double pivot[]) {
  const double rel = 1.0 / (16.0 * static_cast<double>(m));
  const double diagonal = builtDiagonal(p);
  for (int i = 0; i < m; ++i) {
    const double t = pivot[i] * rel;
    if (diagonal >= diagonal + t) return false;
  }
  return true;
}

// Solves L·z = rhs in place. Leading rows with a zero right-hand side stay zero and are skipped.
void forwardSubstitute(int m, const double band[][3], double rhs[]) {
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
void backSubstitute(int m, const double band[][3], double rhs[]) {
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
void subtractSecondDifferences(int n, const float series[], const double u[], float smoothed[]) {
  const int m = n - 2;
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

SplineStatus spline(int n, const float series[], float smoothed[], float& p, int cutoff,
                    SplineWork& work) {
  if (n < 4) {
    smoothed[0] = SPLINE_TOO_SHORT;
    return SplineStatus::TooShort;
  }
  if (n > SPLINE_MAX_LENGTH) return SplineStatus::TooLong;
  Storage& w = *work.storage_;
  const int m = n - 2;
  const double parameter = smoothingParameter(cutoff);
  p = static_cast<float>(parameter);
  factorRows(m, parameter, w);
  if (!pivotsHold(m, parameter, w.pivot)) {
    smoothed[0] = SPLINE_NOT_POSITIVE;
    return SplineStatus::NotPositiveDefinite;
  }
  buildRightHandSide(m, series, w.rhs);
  forwardSubstitute(m, w.band, w.rhs);
  backSubstitute(m, w.band, w.rhs);
  subtractSecondDifferences(n, series, w.rhs, smoothed);
  return SplineStatus::Done;
}

}  // namespace ringsmooth
