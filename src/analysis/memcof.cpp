#include "analysis/memcof.h"

namespace ringsmooth {

namespace {

// Reflection coefficient 2*num/den; an empty or all-zero error sum gives 0, not NaN, so a series
// that a lower order already predicts exactly gets zero higher coefficients.
double reflection(double num, double den) { return den == 0.0 ? 0.0 : (2.0 * num) / den; }

// Burg sums of one order over `terms` error pairs, in ascending order.
void burgSums(const double fwdError[], const double bwdError[], int terms, double& num,
              double& den) {
  num = 0.0;
  den = 0.0;
  for (int j = 0; j < terms; ++j) {
    const double f = fwdError[j];
    const double b = bwdError[j];
    num = num + f * b;
    den = (den + f * f) + b * b;
  }
}

// Levinson update: coefficients 0..k-1 of order k+1 from those of order k (prevCoeff) and the new
// reflection coefficient coeff[k].
void levinsonUpdate(double coeff[], const double prevCoeff[], int k) {
  for (int i = 0; i < k; ++i) {
    coeff[i] = prevCoeff[i] - coeff[k] * prevCoeff[k - 1 - i];
  }
}

// Error update after reflection coefficient c, fused with the Burg sums of the next order, over
// `terms` pairs. Each pair is updated and then enters the sums at once, in ascending j, so every
// sum is taken in the same order as a separate pass would take it, bit for bit; the update work
// overlaps the dependent additions of the sums instead of costing a pass of its own. bwdError[j]
// takes the old values at j+1, which this ascending pass has not yet overwritten.
void updateErrorsAndSum(double fwdError[], double bwdError[], int terms, double c, double& num,
                        double& den) {
  num = 0.0;
  den = 0.0;
  for (int j = 0; j < terms; ++j) {
    const double f = fwdError[j] - c * bwdError[j];
    const double b = bwdError[j + 1] - c * fwdError[j + 1];
    fwdError[j] = f;
    bwdError[j] = b;
    num = num + f * b;
    den = (den + f * f) + b * b;
  }
}

// The errors of order 0 (the series itself, forward and backward) and their Burg sums.
void startErrors(const float series[], int count, double fwdError[], double bwdError[],
                 double& num, double& den) {
  for (int j = 0; j + 1 < count; ++j) {
    fwdError[j] = static_cast<double>(series[j]);
    bwdError[j] = static_cast<double>(series[j + 1]);
  }
  burgSums(fwdError, bwdError, count - 1, num, den);
}

}  // namespace

double meanOfSquares(const float series[], int count) {
  double sum = 0.0;
  for (int j = 0; j < count; ++j) {
    const double v = static_cast<double>(series[j]);
    sum = sum + v * v;
  }
  return count > 0 ? sum / static_cast<double>(count) : 0.0;
}

void burgErrorPowers(const float series[], int n, int maxOrder, double power[], double fwdError[],
                     double bwdError[]) {
  if (maxOrder < 0) return;
  const int count = n > 0 ? n : 0;
  power[0] = meanOfSquares(series, count);
  if (maxOrder < 1) return;
  double num = 0.0;
  double den = 0.0;
  startErrors(series, count, fwdError, bwdError, num, den);
  for (int k = 1;; ++k) {
    const double c = reflection(num, den);
    power[k] = power[k - 1] * (1.0 - c * c);
    if (k == maxOrder) return;
    updateErrorsAndSum(fwdError, bwdError, count - k - 1, c, num, den);
  }
}

void memcof(const float series[], int n, int order, double& meanSquare, double coeff[],
            double fwdError[], double bwdError[], double prevCoeff[]) {
  const int count = n > 0 ? n : 0;
  meanSquare = meanOfSquares(series, count);
  if (order < 1) return;
  double num = 0.0;
  double den = 0.0;
  startErrors(series, count, fwdError, bwdError, num, den);
  for (int k = 1;; ++k) {
    coeff[k - 1] = reflection(num, den);
    meanSquare = meanSquare * (1.0 - coeff[k - 1] * coeff[k - 1]);
    levinsonUpdate(coeff, prevCoeff, k - 1);
    if (k == order) {
      return;
    }
    for (int i = 0; i < k; ++i) {
      prevCoeff[i] = coeff[i];
    }
    // Errors of order k+1 and, in the same pass, the sums over its count - k - 1 pairs.
    updateErrorsAndSum(fwdError, bwdError, count - k - 1, prevCoeff[k - 1], num, den);
  }
}

}  // namespace ringsmooth
