#pragma once
// Ring-width indices: each listed year's value measured against its spline.

namespace ringsmooth {

enum class IndexKind {
  Ratio,       // value / spline: the field's usual index of ring widths
  Difference,  // value - spline: the residual, for values that may be 0 or negative
};

// index[i] for i in [0, n): listed[i] / smoothed[i] (Ratio) or listed[i] - smoothed[i]
// (Difference), each operand widened to double first, so that the index is exactly what the
// two listed single-precision numbers give. A year with filled[i] != 0 has no index (NaN), nor
// has a Ratio year whose spline is not above 0 (NaN spline included). Returns how many years
// were left without an index for their spline (filled years are not counted). Pure: no
// allocation, nothing else written.
int seriesIndices(IndexKind kind, int n, const float listed[], const float smoothed[],
                  const unsigned char filled[], double index[]);

}  // namespace ringsmooth
