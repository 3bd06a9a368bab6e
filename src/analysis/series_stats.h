#pragma once
// A summary of each measured series as read: its years and the shape of its values.
#include "core/table_statistics.h"

namespace ringsmooth {

// The summary (core/table_statistics.h) of x[0..n), whose x[i] is the value of the year
// firstYear + i, a value equal to missingFlag or NaN being missing. Double precision; x is
// not changed; scratch[0..n) is overwritten.
SeriesSummary seriesSummary(const double x[], int n, int firstYear, double missingFlag,
                            double scratch[]);

}  // namespace ringsmooth
