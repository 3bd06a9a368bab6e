#include "analysis/mnsd.h"

#include <cmath>

namespace ringsmooth {

namespace {

// Plain running sum in ascending order, each addition rounded to single precision.
float sumAscending(const float x[], int n) {
  float s = 0.0f;
  for (int i = 0; i < n; ++i) {
    s = s + x[i];
  }
  return s;
}

// Sum of squared deviations about `mean`, ascending, product rounded before the addition.
float squaredDeviations(const float x[], int n, float mean) {
  float q = 0.0f;
  for (int i = 0; i < n; ++i) {
    const float d = x[i] - mean;
    const float square = d * d;
    q = square + q;
  }
  return q;
}

}  // namespace

void mnsd(const float x[], int n, float& mean, float& sd) {
  mean = 0.0f;
  sd = 0.0f;
  const float count = static_cast<float>(n);
  mean = sumAscending(x, n) / count;
  const float q = squaredDeviations(x, n, mean);
  const float divisor = count + -1.0f;
  sd = std::sqrt(q / divisor);
}

}  // namespace ringsmooth
