#pragma once
// Ring-width indices: each listed year's value measured against its spline.

namespace ringsmooth {

enum class IndexKind {
  Ratio,       // value / spline: the field's usual index of ring widths
  Difference,  // value - spline: the residual, for values that may be 0 or negative
};

// What a series' indices were taken against.
enum class IndexBase {
  Spline,  // the spline, year by year
  Mean,    // a ratio whose spline is not above 0 in every year: the mean of the values
  None,    // a ratio whose spline and mean are both not above 0: no index at all
};

// index[i] for i in [0, n): value[i] / smoothed[i] (Ratio) or value[i] - smoothed[i]
// (Difference), each operand widened to double first. A year with filled[i] != 0 has no index
// (NaN). A ratio whose spline is not above 0 in every year (filled ones included; a NaN is not
// above 0) is taken against the mean of the values of the unfilled years instead, in double, as
// the field's R package (dplR) does; when that mean is not above 0 either, no year has an
// index. Pure: no allocation, nothing else written.
IndexBase seriesIndices(IndexKind kind, int n, const float value[], const float smoothed[],
                        const unsigned char filled[], double index[]);

}  // namespace ringsmooth
