#pragma once
// The order of a prediction-error filter chosen from the series itself, by an information
// criterion on the Burg fit: the order past which a longer filter predicts too little better to
// pay for its coefficients.

namespace ringsmooth {

enum class OrderCriterion {
  Aic,  // Akaike's information criterion, n ln(power[k]) + 2k
  Fpe,  // Akaike's final prediction error, power[k] (n + k + 1) / (n - k - 1)
};

// The largest order worth trying on a series of n values: floor(10 log10 n), as R's ar() takes
// it, and at most n - 2 (the final prediction error needs n - k - 1 > 0); 0 for n < 3.
int criterionOrderCap(int n);

// The order k in 0 .. cap whose criterion is smallest, for a series of n values whose Burg
// mean-square discrepancies are power[0 .. cap] (burgErrorPowers); the lowest such order on a
// tie. A power of 0 (a series that order predicts exactly) counts as the smallest criterion
// there is; a NaN power never wins. cap is taken as at most n - 2; returns 0 when cap < 1.
int orderByCriterion(const double power[], int n, int cap, OrderCriterion criterion);

// The order `criterion` picks for series[0..n) up to criterionOrderCap(n): burgErrorPowers, then
// orderByCriterion. Work arrays: power at least criterionOrderCap(n) + 1 values, fwdError and
// bwdError at least n - 1.
int criterionOrder(const float series[], int n, OrderCriterion criterion, double power[],
                   double fwdError[], double bwdError[]);

}  // namespace ringsmooth
