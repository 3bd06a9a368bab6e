#pragma once
// The end-error experiment: cut a long series in two, smooth each half as the program smooths a
// series, and compare each half's spline near its inner end (where the whole series goes on)
// with the spline of the whole series at the same years and the same stiffness.
#include <string>
#include <vector>

#include "analysis/burg_order.h"
#include "analysis/spline.h"
#include "core/capacities.h"

namespace endbench {

// A series as the program holds it: its values rounded to single precision.
struct Series {
  std::string site;  // the file it came from, without folder and extension
  std::string name;
  int firstYear = 0;
  std::vector<float> values;
  double mean = 0.0;  // of the values, in double precision: the unit of the errors
};

// The spline's stiffness: a whole number of years, or a share of each series' length (floor of
// percent % of its years, at least 1, as the field's package takes it).
struct Stiffness {
  int years = 0;
  int percent = 0;
  int periodFor(int n) const;
  std::string label() const;
};

// How many coefficients the prediction-error filter has, for a series of n years smoothed with
// a period of P years.
enum class OrderRule { Cutoff, NOver10, NOver5, NOver3, Aic, Fpe, AicToNOver5 };
// How many years are predicted at each end.
enum class YearsRule { Cutoff, HalfCutoff, QuarterCutoff, Ten, NOver10, Order };

// Natural ends (no extension), or an extension by the two rules.
struct Ends {
  bool natural = true;
  OrderRule order = OrderRule::Cutoff;
  YearsRule years = YearsRule::Cutoff;
  std::string label() const;
};

// The program's settings today: a filter of the cutoff's length, the cutoff's years predicted.
inline Ends todaysEnds() { return Ends{false, OrderRule::Cutoff, YearsRule::Cutoff}; }

// The program's per-series arithmetic for a series without missing years, step for step: the
// single-precision mean (mnsd) removed, the Burg filter (memcof), the extension (extend), the
// spline, the mean added back. Work storage made once.
class Smoother {
 public:
  // Smooths values[0..n) into smoothed[0..n); false when the spline does not take the extended
  // series (too long or short, or its system not solved).
  bool smooth(const float values[], int n, int period, const Ends& ends, float smoothed[]);

 private:
  int filterOrder(const Ends& ends, int n, int period);
  float work_[ringsmooth::MAX_YEARS];
  float extended_[ringsmooth::MAX_YEARS];
  float splineOut_[ringsmooth::MAX_YEARS];
  double coeff_[ringsmooth::MAX_YEARS];
  double fwd_[ringsmooth::MAX_YEARS];
  double bwd_[ringsmooth::MAX_YEARS];
  double prev_[ringsmooth::MAX_YEARS];
  double power_[ringsmooth::MAX_YEARS];
  ringsmooth::SplineWork spline_;
};

// One half of a series: `length` years from `start`; its inner end is its last year for the
// first half, its first year for the second.
struct Cut {
  int series = 0;
  int start = 0;
  int length = 0;
  bool innerEndLast = true;
};

// Each series of at least `shortest` years gives two cuts, its first and its last floor(N/2)
// years.
std::vector<Cut> halves(const std::vector<Series>& series, int shortest);

// End errors of one cut, in % of the series' mean: the mean absolute difference between the
// cut's spline and the whole series' spline over the tenth of the cut nearest its inner end
// (ceil(length / 10) years), and the absolute difference in the inner end's year.
struct EndError {
  double tenth = 0.0;
  double last = 0.0;
};
EndError endError(const Cut& cut, const Series& series, const float cutSpline[],
                  const float wholeSpline[]);

// How far one spline of a whole series lies from another, in % of the series' mean: the mean
// absolute difference over the first and the last tenth of its years (ceil(n / 10) each), and
// over its middle half (years n/4 .. 3n/4 - 1, counted from 0).
struct Shift {
  double ends = 0.0;
  double middle = 0.0;
};
Shift shiftBetween(const float a[], const float b[], int n, double mean);

// Percentile q (0..1) of the values, by linear interpolation between order statistics (R's
// default, type 7). NaN for no values.
double percentile(std::vector<double> values, double q);

}  // namespace endbench
