#pragma once
// Cubic smoothing spline whose frequency response is 50% at `cutoff` sampling steps.

namespace ringsmooth {

inline constexpr int SPLINE_MAX_LENGTH = 10000;         // mxy: the longest series accepted
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

// Raised, after the overflow message has been written, when a series is longer than
// SPLINE_MAX_LENGTH: the run stops (the caller closes its files and exits non-zero).
struct SeriesTooLong {};

// Writes the four lines of the overflow message to standard output and flushes it.
void writeSplineLengthMessage();

// Smooths series[0..n) into smoothed[0..n) (the two must not overlap). Double precision inside,
// each operation rounded as written; series is never modified. p receives the smoothing
// parameter rounded to single. n < 4: smoothed[0] = SPLINE_TOO_SHORT, nothing else written.
// n > SPLINE_MAX_LENGTH: writes the overflow message and throws SeriesTooLong. A failed pivot
// test: smoothed[0] = SPLINE_NOT_POSITIVE and the line ">> sbr spline: matrix not positive
// definite" on standard output. cutoff 0 gives NaN everywhere, without a message. Never
// allocates: uses its own fixed band work area (not reentrant).
void spline(int n, const float series[], float smoothed[], float& p, int cutoff);

}  // namespace ringsmooth
