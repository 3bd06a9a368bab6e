#pragma once

namespace ringsmooth {

// Mean and sample standard deviation (divisor n - 1) of x[0..n), single precision throughout,
// two passes (deviations about the rounded mean). n = 1 gives sd NaN; n = 0 gives mean NaN.
void mnsd(const float x[], int n, float& mean, float& sd);

}  // namespace ringsmooth
