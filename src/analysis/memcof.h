#pragma once

namespace ringsmooth {

// Burg's recursion: `order` prediction-error filter coefficients of series[0..n) into
// coeff[0..order), and the mean-square discrepancy. Double precision, sums in increasing index
// order. Work arrays: fwdError and bwdError at least n - 1 values, prevCoeff at least order - 1.
// A zero denominator gives a reflection coefficient of 0 (the recursion goes on); n < 2 gives
// all-zero coefficients (meanSquare: the mean square of the series, 0 when n <= 0). order < 1
// computes no coefficient and leaves coeff unchanged (the caller never asks for it: a filter has
// at least one coefficient). Never reads or writes outside the arrays.
void memcof(const float series[], int n, int order, double& meanSquare, double coeff[],
            double fwdError[], double bwdError[], double prevCoeff[]);

// The mean-square discrepancy of the Burg filter of every order 0 .. maxOrder of series[0..n):
// power[k] is what memcof gives as meanSquare for order k, bit for bit (power[0] the mean
// square), from one pass of the same recursion, which needs no coefficients. Work arrays as
// memcof's: fwdError and bwdError at least n - 1 values; power at least maxOrder + 1. maxOrder < 0
// writes nothing.
void burgErrorPowers(const float series[], int n, int maxOrder, double power[], double fwdError[],
                     double bwdError[]);

// The mean of the squared values, summed in ascending order in double precision; 0 for count <= 0.
double meanOfSquares(const float series[], int count);

}  // namespace ringsmooth
