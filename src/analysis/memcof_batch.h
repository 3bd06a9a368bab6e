#pragma once
// Burg filters of several series at once. Each series' sums form their own chain of dependent
// additions; taking several series side by side lets those chains overlap, in the lanes of the
// processor's vector registers, while every sum keeps its own order.
#include "driver/series_table.h"

namespace ringsmooth {

inline constexpr int MEMCOF_LANES = 4;

// For s = 0 .. count-1 (count <= MEMCOF_LANES): the `order` coefficients of series[s][0..n[s])
// into coeff[s][0..order) and its mean-square discrepancy, bit for bit as memcof gives them.
// Requires 1 <= order <= MAX_YEARS and n[s] <= MAX_YEARS. Uses its own fixed work storage (not
// reentrant); allocates nothing.
void memcofBatch(int count, const float* const series[], const int n[], int order,
                 double meanSquare[], double* const coeff[]);

}  // namespace ringsmooth
