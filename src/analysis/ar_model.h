#pragma once
// The residual (prewhitened) series: what an autoregressive model of a series leaves
// unexplained, the model fitted as R's ar() fits it by default.

namespace ringsmooth {

// The highest order any series is given: floor(10 log10 n) for the longest series (MAX_YEARS).
inline constexpr int AR_MOST_ORDER = 40;

// Fits x[0..n), n >= 1, all finite, by Yule-Walker: the series less its mean, autocovariances
// divided by n, the Levinson-Durbin recursion, and the order k in 0 .. min(n - 1,
// floor(10 log10 n)) of the smallest AIC = n log(v_k) + 2k (v_k the innovations variance at
// order k, v_0 the variance; the lowest such order on a tie). The recursion stops at an order
// whose variance is not above 0 (a constant series has order 0). out[t] for t >= k is the
// residual x[t] - m - sum_j a_j (x[t - j] - m) plus the mean m; out[0..k) is NaN. Double
// precision; out may not alias x. Returns k.
int arResiduals(const double x[], int n, double out[]);

// A series' index residuals as above, index[i] for i in [0, n) NaN where the series has no
// index: the indices present are fitted as one series, the years without one closed up (as R's
// na.omit() does), and each residual goes back to its year; out[i] is NaN where index[i] is
// and for the first k indices present. work[] holds 2n values. Returns k (0 when no index is
// present).
int residualIndices(const double index[], int n, double out[], double work[]);

}  // namespace ringsmooth
