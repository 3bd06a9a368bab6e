#pragma once
// The plan of a series: how the cutoff and the end options become the spline's period, the
// prediction-error filter's order and the years predicted at each end of a series of n years.
#include <string>
#include <vector>

#include "core/capacities.h"
#include "driver/settings.h"

namespace ringsmooth {

// How a series is smoothed, from the one number the user gives. The cutoff is the spline's
// period (its 50% response), and also the order of the prediction-error filter and the number
// of years predicted at each end before smoothing, so that the spline has a period's worth of
// plausible values beyond each end instead of ending abruptly there.
struct SmoothingPlan {
  int period;          // the spline's 50% frequency-response cutoff, in years
  int filterOrder;     // coefficients of the prediction-error filter
  int extensionYears;  // years predicted at each end

  // The series of n years, extended at both ends, fits the spline and the work arrays.
  bool fits(int n) const { return n + 2L * extensionYears <= MAX_YEARS; }
  // The filter fits the coefficient storage (it always does when some series fits).
  bool filterFits() const { return filterOrder <= MAX_YEARS; }
};

// Why a series of n years does not fit `plan`: "N years and M predicted at each end are more
// than the spline's 10000".
std::string tooLongForSpline(int n, const SmoothingPlan& plan);

// The plan for a cutoff of 1 or more. With no prediction at the ends, there is no filter and no
// extension: the spline has the series alone.
SmoothingPlan smoothingPlan(int cutoff, Ends ends = Ends::Predict);

// A plan's filter order while the series' own order is still to be chosen (EndLength::Kind::Auto).
inline constexpr int FILTER_ORDER_AUTO = -1;

// A cutoff of `percent` of a series of n years: the whole years of it, at least 1, as the
// field's R package (dplR) takes floor(0.67 n) for its usual spline.
int relativeCutoff(int percent, int n);

// The answers the computing uses.
struct PipelineSettings {
  SmoothingPlan plan;  // every series', unless cutoffPercent is set
  Scaling scaling;
  PlotSpan plotSpan;
  int jobs = 1;        // threads that compute series; 1: the calling thread alone
  std::vector<OutputFormat> formats = {OutputFormat::Listing};  // the forms of the blocks
  int cutoffPercent = 0;  // 1..1000: each series' cutoff is that share of its length
  Ends ends = Ends::Predict;
  bool indices = false;   // each series' indices are computed (the CSV and the chronology)
  IndexKind index = IndexKind::Ratio;
  EndLength filter{};     // the filter's order, when the ends are predicted
  EndLength predict{};    // the years predicted at each end

  // The plan of a series of n years; its filter order is FILTER_ORDER_AUTO when the series'
  // own fit is to choose it.
  SmoothingPlan planFor(int n) const;
};

// The largest cutoff that a series of n years takes: years for a cutoff in years, a percentage
// (up to the one asked for) for a cutoff relative to length; 0 when none does.
int largestCutoffThatFits(const PipelineSettings& settings, int n);

}  // namespace ringsmooth
