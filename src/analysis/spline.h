#pragma once
// Cubic smoothing spline whose frequency response is 50% at `cutoff` sampling steps.
#include <memory>

#include "core/capacities.h"

namespace ringsmooth {

inline constexpr int SPLINE_MAX_LENGTH = MAX_YEARS;     // mxy: the longest series accepted
inline constexpr float SPLINE_TOO_SHORT = -9998.0f;     // smoothed[0] when n < 4
inline constexpr float SPLINE_NOT_POSITIVE = -9999.0f;  // smoothed[0] when the pivot test fails

// The decimals the results are tied to, bit for bit: PI is one unit in the last place above the
// double nearest pi; C1 and C2 are the bands of the second-difference product and of the
// tridiagonal weight matrix at offsets -2, -1, 0 (C2 written to 14 decimals, not 1/3 and 4/3).
namespace spline_constants {
inline constexpr double PI = 3.1415926535897936;
inline constexpr double C1[3] = {1.0, -4.0, 6.0};
inline constexpr double C2[3] = {0.0, 0.33333333333333, 1.33333333333333};
}  // namespace spline_constants

enum class SplineStatus {
  Done,                 // smoothed[0..n) and p written
  TooShort,             // n < 4: smoothed[0] = SPLINE_TOO_SHORT, nothing else written
  TooLong,              // n > SPLINE_MAX_LENGTH: nothing written
  NotPositiveDefinite,  // the pivot test failed: smoothed[0] = SPLINE_NOT_POSITIVE, p written
};

// The spline's band work area, made once and handed to every call. The system matrix is the
// same band in every row (only rows 0 and 1 lose their corner elements), and a row of its
// Cholesky factor depends only on the rows above it; so the factor of an m-row system is the
// leading m rows of any longer one and depends on the series only through its length. The work
// area keeps the factor for the last smoothing parameter and adds rows only when a longer
// series comes: the results are those of a fresh decomposition, bit for bit.
class SplineWork {
 public:
  SplineWork();
  ~SplineWork();
  SplineWork(const SplineWork&) = delete;
  SplineWork& operator=(const SplineWork&) = delete;

  struct Storage;

 private:
  friend SplineStatus spline(int n, const float series[], float smoothed[], float& p, int cutoff,
                             SplineWork& work);
  std::unique_ptr<Storage> storage_;
};

// The smoothing parameter for a 50% response at `cutoff` steps, 6(cos w - 1)^2 / (cos w + 2)
// with w = 2 PI / cutoff, every step a separate double operation.
double smoothingParameter(int cutoff);

// The spline's gain (0 to 1) for a sinusoid of `period` steps, away from the ends of a long
// series, with smoothing parameter p: p·t / (q + p·t), where q = (2 - 2 cos w)^2 and
// t = C2[2] + 2 C2[1] cos w are the symbols of the second-difference product and of the weight
// matrix at w = 2 PI / period. It is 1/2 at the cutoff that gave p.
double splineGain(double p, double period);

// Smooths series[0..n) into smoothed[0..n) (the two must not overlap). Double precision inside,
// each operation rounded as written; series is never modified; p receives the smoothing
// parameter rounded to single. Writes nothing but its outputs (no messages) and returns what
// it did. cutoff 0 gives NaN everywhere, with status Done. Allocates nothing.
SplineStatus spline(int n, const float series[], float smoothed[], float& p, int cutoff,
                    SplineWork& work);

}  // namespace ringsmooth
