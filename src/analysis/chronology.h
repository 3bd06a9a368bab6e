#pragma once
// The site chronology: year by year, a robust mean of the indices of every series that has
// one that year, with the number of such series (the sample depth).
#include "core/series_indices.h"

namespace ringsmooth {

// Tukey's biweight robust mean of x[0..n), n >= 1, in double precision: M the median of x,
// S the median of |x - M| (an even count's median is the mean of its two middle values),
// u = (x - M) / (9 S + 1e-6), weights (1 - u^2)^2 where |u| <= 1 and 0 elsewhere; the result
// is sum(w x) / sum(w), the sums taken in the order of x. A single value is itself. x is not
// changed; scratch[0..2n) is overwritten. The values must be finite.
double biweightMean(const double x[], int n, double scratch[]);

// Threads that share a chronology's years take them in whole blocks of this many.
constexpr int CHRONOLOGY_BLOCK_YEARS = 64;

// The number of values of chronology()'s work[] for a table of seriesCount series.
constexpr long chronologyWorkSize(int seriesCount) { return 3L * seriesCount; }

// For each year firstYear + j, j in [0, years): depth[j] the number of series with an index
// that year, and mean[j] the biweight mean of those indices in series order (NaN where the
// depth is 0). work[] holds chronologyWorkSize(indices.seriesCount) values. Pure: writes
// nothing else.
void chronology(const SeriesIndices& indices, int firstYear, int years, double mean[],
                int depth[], double work[]);

}  // namespace ringsmooth
