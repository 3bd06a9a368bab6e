#pragma once

namespace ringsmooth {

// Mean and sample standard deviation (divisor n - 1) of x[0..n), single precision throughout,
// two passes (deviations about the rounded mean). n = 1 gives sd NaN; n = 0 gives mean NaN and
// sd -0.0 (IEEE defaults, nothing is checked). x is not changed; no value is read when n <= 0.
void mnsd(const float x[], int n, float& mean, float& sd);

}  // namespace ringsmooth
