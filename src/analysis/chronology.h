#pragma once
// The site chronology: year by year, a robust mean of the indices of every series that has
// one that year, with the number of such series (the sample depth).

namespace ringsmooth {

// Tukey's biweight robust mean of x[0..n), n >= 1, in double precision: M the median of x,
// S the median of |x - M| (an even count's median is the mean of its two middle values),
// u = (x - M) / (9 S + 1e-6), weights (1 - u^2)^2 where |u| <= 1 and 0 elsewhere; the result
// is sum(w x) / sum(w), the sums taken in the order of x. A single value is itself. x is not
// changed; scratch[0..n) is overwritten. The values must be finite.
double biweightMean(const double x[], int n, double scratch[]);

// The indices of a table gathered year by year: year j's depth[j] indices (series in order) are
// values[start[j] .. start[j] + depth[j]).
struct YearIndices {
  const double* values;
  const long* start;
  const int* depth;
};

// For each year j in [0, years): mean[j] the biweight mean of that year's indices, NaN for a
// year without any. scratch[] holds as many values as the deepest year. Pure: writes nothing
// else.
void chronology(const YearIndices& indices, int years, double mean[], double scratch[]);

}  // namespace ringsmooth
