#include "end_error.h"

#include <algorithm>
#include <cmath>

#include "analysis/extend.h"
#include "analysis/memcof.h"
#include "analysis/mnsd.h"
#include "driver/smoothing_plan.h"

namespace endbench {

using ringsmooth::MAX_YEARS;

int Stiffness::periodFor(int n) const {
  return percent == 0 ? years : ringsmooth::relativeCutoff(percent, n);
}

std::string Stiffness::label() const {
  return percent == 0 ? "-c " + std::to_string(years) : "-c " + std::to_string(percent) + "%";
}

std::string Ends::label() const {
  if (natural) return "natural ends";
  static const char* const orders[] = {"P", "n/10", "n/5", "n/3", "AIC", "FPE", "AIC<=n/5"};
  static const char* const predicted[] = {"P", "P/2", "P/4", "10", "n/10", "order"};
  return std::string("order ") + orders[static_cast<int>(order)] + ", predict " +
         predicted[static_cast<int>(years)];
}

namespace {

int atLeastOne(int value) { return std::max(1, value); }

int predictedYears(YearsRule rule, int n, int period, int order) {
  switch (rule) {
    case YearsRule::Cutoff: return period;
    case YearsRule::HalfCutoff: return atLeastOne(period / 2);
    case YearsRule::QuarterCutoff: return atLeastOne(period / 4);
    case YearsRule::Ten: return 10;
    case YearsRule::NOver10: return atLeastOne(n / 10);
    case YearsRule::Order: return order;
  }
  return period;
}

}  // namespace

// The order of a criterion is chosen on the centred series, the one the filter is fitted to.
int Smoother::filterOrder(const Ends& ends, int n, int period) {
  using ringsmooth::OrderCriterion;
  switch (ends.order) {
    case OrderRule::Cutoff: return period;
    case OrderRule::NOver10: return atLeastOne(n / 10);
    case OrderRule::NOver5: return atLeastOne(n / 5);
    case OrderRule::NOver3: return atLeastOne(n / 3);
    case OrderRule::Aic:
      return ringsmooth::criterionOrder(work_, n, OrderCriterion::Aic, power_, fwd_, bwd_);
    case OrderRule::Fpe:
      return ringsmooth::criterionOrder(work_, n, OrderCriterion::Fpe, power_, fwd_, bwd_);
    case OrderRule::AicToNOver5: break;
  }
  const int cap = std::min(n / 5, n - 2);
  if (cap < 1) return 0;
  ringsmooth::burgErrorPowers(work_, n, cap, power_, fwd_, bwd_);
  return ringsmooth::orderByCriterion(power_, n, cap, OrderCriterion::Aic);
}

bool Smoother::smooth(const float values[], int n, int period, const Ends& ends,
                      float smoothed[]) {
  float mean = 0.0f;
  float sd = 0.0f;
  ringsmooth::mnsd(values, n, mean, sd);
  for (int i = 0; i < n; ++i) work_[i] = values[i] - mean;
  const int order = ends.natural ? 0 : filterOrder(ends, n, period);
  const int pad = ends.natural ? 0 : predictedYears(ends.years, n, period, order);
  if (n + 2L * pad > MAX_YEARS || order > MAX_YEARS) return false;
  std::fill(extended_, extended_ + MAX_YEARS, 0.0f);
  for (int i = 0; i < n; ++i) extended_[pad + i] = work_[i];
  if (order >= 1) {
    double meanSquare = 0.0;
    ringsmooth::memcof(work_, n, order, meanSquare, coeff_, fwd_, bwd_, prev_);
  }
  ringsmooth::extend(extended_, n, pad, coeff_, order, 0);
  float p = 0.0f;
  const auto status = ringsmooth::spline(n + 2 * pad, extended_, splineOut_, p, period, spline_);
  if (status != ringsmooth::SplineStatus::Done) return false;
  for (int i = 0; i < n; ++i) smoothed[i] = mean + splineOut_[i + pad];
  return true;
}

std::vector<Cut> halves(const std::vector<Series>& series, int shortest) {
  std::vector<Cut> cuts;
  for (int s = 0; s < static_cast<int>(series.size()); ++s) {
    const int n = static_cast<int>(series[s].values.size());
    if (n < shortest) continue;
    const int half = n / 2;
    cuts.push_back(Cut{s, 0, half, true});
    cuts.push_back(Cut{s, n - half, half, false});
  }
  return cuts;
}

EndError endError(const Cut& cut, const Series& series, const float cutSpline[],
                  const float wholeSpline[]) {
  const int tenth = (cut.length + 9) / 10;
  const int from = cut.innerEndLast ? cut.length - tenth : 0;
  double sum = 0.0;
  for (int i = from; i < from + tenth; ++i) {
    sum += std::fabs(static_cast<double>(cutSpline[i]) - wholeSpline[cut.start + i]);
  }
  const int end = cut.innerEndLast ? cut.length - 1 : 0;
  const double scale = 100.0 / series.mean;
  return EndError{sum / tenth * scale,
                  std::fabs(static_cast<double>(cutSpline[end]) - wholeSpline[cut.start + end]) *
                      scale};
}

namespace {

double meanAbsoluteDifference(const float a[], const float b[], int from, int to) {
  double sum = 0.0;
  for (int i = from; i < to; ++i) sum += std::fabs(static_cast<double>(a[i]) - b[i]);
  return sum / (to - from);
}

}  // namespace

Shift shiftBetween(const float a[], const float b[], int n, double mean) {
  const int tenth = (n + 9) / 10;
  const double ends = (meanAbsoluteDifference(a, b, 0, tenth) +
                       meanAbsoluteDifference(a, b, n - tenth, n)) / 2.0;
  return Shift{ends * 100.0 / mean, meanAbsoluteDifference(a, b, n / 4, 3 * n / 4) * 100.0 / mean};
}

double percentile(std::vector<double> values, double q) {
  if (values.empty()) return std::nan("");
  std::sort(values.begin(), values.end());
  const double h = (static_cast<double>(values.size()) - 1.0) * q;
  const auto low = static_cast<std::size_t>(std::floor(h));
  const std::size_t high = std::min(low + 1, values.size() - 1);
  return values[low] + (h - static_cast<double>(low)) * (values[high] - values[low]);
}

}  // namespace endbench
