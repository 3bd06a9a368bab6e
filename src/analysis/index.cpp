#include "analysis/index.h"

#include <limits>

namespace ringsmooth {

int seriesIndices(IndexKind kind, int n, const float listed[], const float smoothed[],
                  const unsigned char filled[], double index[]) {
  constexpr double NONE = std::numeric_limits<double>::quiet_NaN();
  int noSpline = 0;
  for (int i = 0; i < n; ++i) {
    const double value = listed[i];
    const double spline = smoothed[i];
    if (filled[i] != 0) {
      index[i] = NONE;
    } else if (kind == IndexKind::Difference) {
      index[i] = value - spline;
    } else if (spline > 0.0) {
      index[i] = value / spline;
    } else {
      index[i] = NONE;
      ++noSpline;
    }
  }
  return noSpline;
}

}  // namespace ringsmooth
