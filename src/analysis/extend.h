#pragma once

namespace ringsmooth {

// Extends series[pad .. pad+n) by linear prediction with coeff[0..order): fills series[0..pad)
// (backward, direction 0 or -1) and series[pad+n .. n+2*pad) (forward, direction 0 or 1); an end
// not selected receives 0.0. Double-precision sums, results rounded to single. An order that
// would read outside series[0 .. n+2*pad) is cut to what lies inside. pad <= 0 or n < 0: nothing
// is read or written. series[pad .. pad+n) is never written.
void extend(float series[], int n, int pad, const double coeff[], int order, int direction);

}  // namespace ringsmooth
