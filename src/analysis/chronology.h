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

// The indices of a table's series: series k has index[k * stride + i] for the year
// firstYear[k] + i, i in [0, yearCount[k]); a NaN there is no index.
struct IndexColumns {
  const double* index;
  long stride;
  const int* firstYear;
  const int* yearCount;
  int seriesCount;
};

// The first and last year in which some series has an index; false when none has one.
bool chronologySpan(const IndexColumns& columns, int& firstYear, int& lastYear);

// For each year firstYear + j, j in [0, years): value[j] the biweight mean of the indices
// present that year (series in order), depth[j] their count; a year without any gets NaN and
// depth 0. gathered[] and scratch[] hold seriesCount values each. Pure: writes nothing else.
void chronology(const IndexColumns& columns, int firstYear, int years, double value[],
                int depth[], double gathered[], double scratch[]);

}  // namespace ringsmooth
