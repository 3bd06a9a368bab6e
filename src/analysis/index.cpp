#include "analysis/index.h"

#include <limits>

namespace ringsmooth {
namespace {

constexpr double NONE = std::numeric_limits<double>::quiet_NaN();

bool splineAboveZero(int n, const float smoothed[]) {
  for (int i = 0; i < n; ++i) {
    if (!(smoothed[i] > 0.0f)) return false;
  }
  return true;
}

// The ratios to the mean of the unfilled years' values.
IndexBase ratiosToMean(int n, const float value[], const unsigned char filled[], double index[]) {
  double sum = 0.0;
  int count = 0;
  for (int i = 0; i < n; ++i) {
    if (filled[i] == 0) {
      sum += value[i];
      ++count;
    }
  }
  const double mean = count > 0 ? sum / count : NONE;
  const bool usable = mean > 0.0;
  for (int i = 0; i < n; ++i) index[i] = usable && filled[i] == 0 ? value[i] / mean : NONE;
  return usable ? IndexBase::Mean : IndexBase::None;
}

}  // namespace

IndexBase seriesIndices(IndexKind kind, int n, const float value[], const float smoothed[],
                        const unsigned char filled[], double index[]) {
  if (kind == IndexKind::Ratio && !splineAboveZero(n, smoothed)) {
    return ratiosToMean(n, value, filled, index);
  }
  for (int i = 0; i < n; ++i) {
    const double v = value[i];
    const double spline = smoothed[i];
    if (filled[i] != 0) {
      index[i] = NONE;
    } else {
      index[i] = kind == IndexKind::Ratio ? v / spline : v - spline;
    }
  }
  return IndexBase::Spline;
}

}  // namespace ringsmooth
