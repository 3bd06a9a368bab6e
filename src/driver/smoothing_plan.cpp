#include "driver/smoothing_plan.h"

#include <algorithm>

namespace ringsmooth {

std::string tooLongForSpline(int n, const SmoothingPlan& plan) {
  return std::to_string(n) + " years and " + std::to_string(plan.extensionYears) +
         " predicted at each end are more than the spline's " + std::to_string(MAX_YEARS);
}

SmoothingPlan smoothingPlan(int cutoff, Ends ends) {
  if (ends == Ends::None) return SmoothingPlan{cutoff, 0, 0};
  return SmoothingPlan{cutoff, cutoff, cutoff};
}

int relativeCutoff(int percent, int n) {
  const long long years = static_cast<long long>(percent) * n / 100;
  return static_cast<int>(std::max(1LL, years));
}

namespace {

// A filter order or a number of predicted years for a series of n years smoothed at `period`.
int endLengthFor(const EndLength& length, int period, int n) {
  switch (length.kind) {
    case EndLength::Kind::Years: return length.value;
    case EndLength::Kind::Percent: return relativeCutoff(length.value, n);
    case EndLength::Kind::Auto: return FILTER_ORDER_AUTO;
    case EndLength::Kind::Cutoff: break;
  }
  return period;
}

}  // namespace

SmoothingPlan PipelineSettings::planFor(int n) const {
  const int period = cutoffPercent > 0 ? relativeCutoff(cutoffPercent, n) : plan.period;
  if (ends == Ends::None) return smoothingPlan(period, Ends::None);
  int order = endLengthFor(filter, period, n);
  // Orders past n - 1 add only zero coefficients, so a filter asked longer than the series is
  // cut to its length (and always fits the coefficient storage). The cutoff's own length is
  // kept as the dialogue has it.
  if (filter.kind == EndLength::Kind::Years || filter.kind == EndLength::Kind::Percent) {
    order = std::min(order, std::max(1, n));
  }
  return SmoothingPlan{period, order, endLengthFor(predict, period, n)};
}

int largestCutoffThatFits(const PipelineSettings& settings, int n) {
  // The predicted years may follow the cutoff (the dialogue's, or --predict=N%) or not: each
  // smaller cutoff is tried through the plan the run would make of it.
  PipelineSettings tried = settings;
  const bool relative = settings.cutoffPercent > 0;
  for (int cutoff = relative ? settings.cutoffPercent : settings.plan.period; cutoff >= 1;
       --cutoff) {
    if (relative) {
      tried.cutoffPercent = cutoff;
    } else {
      tried.plan.period = cutoff;
    }
    if (tried.planFor(n).fits(n)) return cutoff;
  }
  return 0;
}

}  // namespace ringsmooth
