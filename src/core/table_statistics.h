#pragma once
// The statistics of a table that are computed once and written to files: per series, and of
// the series' common signal.

namespace ringsmooth {

// A series as read: the years from its first to its last present value (gaps included) and
// the statistics of its m present values y. A statistic its values don't determine is NaN;
// with no present value, years is 0 and every statistic NaN.
struct SeriesSummary {
  int first;
  int last;
  int years;  // last - first + 1
  double mean;
  double median;    // an even count's is the mean of the two middle values
  double stdev;     // s, divisor m - 1
  double skew;      // sum (y - mean)^3 / (m s^3)
  double kurtosis;  // m sum (y - mean)^4 / (sum (y - mean)^2)^2 (1 - 1/m)^2 - 3
  double gini;      // sum over all pairs i, j of |y_i - y_j| / (2 m^2 mean)
  double ar1;       // lag-1 autocorrelation, gaps closed up, autocovariances divided by m
};

// The common signal of the years first .. last: `pairs` pairs of series with the common years
// asked for, `series` the number of series in at least one such pair, rbar the mean of the
// pairs' correlations, eps = series rbar / ((series - 1) rbar + 1) and
// snr = series rbar / (1 - rbar). With no pair, series and pairs are 0 and the rest NaN.
struct SignalStats {
  int first;
  int last;
  int series;
  long pairs;
  double rbar;
  double eps;
  double snr;
};

}  // namespace ringsmooth
