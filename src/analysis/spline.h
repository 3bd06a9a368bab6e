#pragma once
// Cubic smoothing spline whose frequency response is 50% at `cutoff` sampling steps.

namespace ringsmooth {

inline constexpr int SPLINE_MAX_LENGTH = 10000;        // mxy: the longest series accepted
inline constexpr float SPLINE_TOO_SHORT = -9998.0f;    // smoothed[0] when n < 4
inline constexpr float SPLINE_NOT_POSITIVE = -9999.0f; // smoothed[0] when the pivot test fails

// Raised, after the overflow message has been written, when a series is longer than
// SPLINE_MAX_LENGTH: the run stops (the caller closes its files and exits non-zero).
struct SeriesTooLong {};

// Writes the four lines of the overflow message to standard output.
void writeSplineLengthMessage();

// Smooths series[0..n) into smoothed[0..n). Double precision inside, each operation rounded as
// written; series is never modified. p receives the smoothing parameter rounded to single.
// n < 4: smoothed[0] = SPLINE_TOO_SHORT, nothing else written. n > SPLINE_MAX_LENGTH: writes
// the overflow message and throws SeriesTooLong. A failed pivot test: smoothed[0] =
// SPLINE_NOT_POSITIVE and the line ">> sbr spline: matrix not positive definite" on standard
// output. Never allocates: uses its own fixed band work area (not reentrant).
void spline(int n, const float series[], float smoothed[], float& p, int cutoff);

}  // namespace ringsmooth
