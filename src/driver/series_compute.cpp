// All arithmetic here is single precision, as the listed values require.
#include "driver/series_compute.h"

#include <algorithm>
#include <cmath>

#include "analysis/burg_order.h"
#include "analysis/extend.h"
#include "analysis/index.h"
#include "analysis/mnsd.h"

namespace ringsmooth {

static_assert(SPLINE_MAX_LENGTH == MAX_YEARS, "an extended series fits the work arrays exactly");

namespace {

// A value is missing when it equals the flag in single precision, or is a NaN.
bool isMissing(float value, float missingFlag) { return value == missingFlag || std::isnan(value); }

}  // namespace

// Trimming. The reader has already trimmed, in double precision, the cells it found missing;
// this trims again in single precision, the precision of the pipeline, which also catches a
// flag that a float can't hold exactly (-99.99 read as a double is no -99.99f).
void SeriesComputer::prepare(const SeriesSource& source, SeriesResult& s) {
  const SeriesTable& t = source.table;
  const int k = s.k;
  const float flag = t.missingFlag;
  const double* column = t.column(k);
  s.outcome = SeriesOutcome::Listed;
  s.n = 0;
  s.untrimmedCount = t.yearCount[k];
  s.untrimmedFirstYear = t.firstYear[k];
  s.plan = source.settings.plan;
  s.seriesMean = 0.0f;
  s.filledCount = 0;
  s.indexBase = IndexBase::Spline;
  s.index = nullptr;
  const int untrimmed = s.untrimmedCount;
  int leadingMissing = 0;
  while (leadingMissing < untrimmed &&
         isMissing(static_cast<float>(column[leadingMissing]), flag)) {
    ++leadingMissing;
  }
  int trailingMissing = 0;
  while (trailingMissing < untrimmed - leadingMissing &&
         isMissing(static_cast<float>(column[untrimmed - 1 - trailingMissing]), flag)) {
    ++trailingMissing;
  }
  const int n = untrimmed - leadingMissing - trailingMissing;
  s.leadingMissing = leadingMissing;
  if (n <= 0) {
    s.outcome = SeriesOutcome::NoValue;
    return;
  }
  s.n = n;
  s.firstYear = s.untrimmedFirstYear + leadingMissing;
  s.plan = source.settings.planFor(n);
  for (int i = 0; i < n; ++i) {
    s.readValues[i] = s.workSeries[i] = s.levelLine[i] =
        static_cast<float>(column[i + leadingMissing]);
  }
  scale(t, source.settings.scaling, s);
}

// The valid values' mean and deviation, gap filling, and centring or standardizing.
void SeriesComputer::scale(const SeriesTable& t, Scaling scaling, SeriesResult& s) {
  const float flag = t.missingFlag;
  const int n = s.n;
  int validCount = 0;
  for (int i = 0; i < n; ++i) {
    if (!isMissing(s.levelLine[i], flag)) validValues_[validCount++] = s.levelLine[i];
  }
  float seriesMean = 0.0f;
  float seriesStdDev = 0.0f;
  mnsd(validValues_, validCount, seriesMean, seriesStdDev);
  // Values near the top of single precision (3e38) can sum beyond it: the mean would be
  // infinite and every listed value NaN.
  if (!std::isfinite(seriesMean)) {
    s.outcome = SeriesOutcome::TooLarge;
    return;
  }
  const bool standardize = scaling == Scaling::Standardize;
  if (standardize && !(seriesStdDev > 0.0f && std::isfinite(seriesStdDev))) {
    s.outcome = SeriesOutcome::NoSpread;
    return;
  }
  for (int i = 0; i < n; ++i) {
    const bool missing = isMissing(s.workSeries[i], flag);
    s.filled[i] = missing ? 1 : 0;
    if (missing && s.filledCount++ == 0) s.firstFilledYear = s.firstYear + i;
    if (standardize) {
      s.workSeries[i] = missing ? 0.0f : (s.workSeries[i] - seriesMean) / seriesStdDev;
      s.levelLine[i] = 0.0f;
    } else {
      s.workSeries[i] = missing ? 0.0f : s.workSeries[i] - seriesMean;
      s.levelLine[i] = seriesMean;
    }
  }
  s.seriesMean = standardize ? 0.0f : seriesMean;
}

// The prediction-error filters of the batch's prepared series: those of one filter order (all
// of them, unless cutoffs are relative to length or orders chosen per series) at once. An order
// to be chosen is the one AIC picks on the series' Burg fit; it may be 0, and then the
// predicted years are the series' level.
void SeriesComputer::computeFilters(SeriesBatch& batch) {
  for (int i = 0; i < batch.count; ++i) {
    SeriesResult& s = batch.series[i];
    if (s.outcome != SeriesOutcome::Listed || s.plan.filterOrder != FILTER_ORDER_AUTO) continue;
    s.plan.filterOrder = criterionOrder(s.workSeries, s.n, OrderCriterion::Aic, burgPower_,
                                        burgForward_, burgBackward_);
  }
  bool done[MEMCOF_MAX_LANES] = {};
  for (int first = 0; first < batch.count; ++first) {
    const SeriesResult& leader = batch.series[first];
    const int order = leader.plan.filterOrder;
    if (done[first] || leader.outcome != SeriesOutcome::Listed || order < 1 ||
        !leader.plan.filterFits()) {
      continue;
    }
    const float* series[MEMCOF_MAX_LANES];
    int lengths[MEMCOF_MAX_LANES];
    double* coefficients[MEMCOF_MAX_LANES];
    double meanSquare[MEMCOF_MAX_LANES];
    int lanes = 0;
    for (int i = first; i < batch.count; ++i) {
      SeriesResult& s = batch.series[i];
      if (s.outcome != SeriesOutcome::Listed || s.plan.filterOrder != order) continue;
      done[i] = true;
      series[lanes] = s.workSeries;
      lengths[lanes] = s.n;
      coefficients[lanes] = s.filterCoefficients;
      ++lanes;
    }
    memcofBatch(lanes, series, lengths, order, meanSquare, coefficients, burg_);
  }
}

// Extension and smoothing of a series that fits, then the level restored.
void SeriesComputer::smooth(SeriesResult& s) {
  const SmoothingPlan& plan = s.plan;
  const int n = s.n;
  const int pad = plan.extensionYears;
  std::fill(extendedSeries_, extendedSeries_ + MAX_YEARS, 0.0f);
  for (int i = 0; i < n; ++i) extendedSeries_[pad + i] = s.workSeries[i];
  extend(extendedSeries_, n, pad, s.filterCoefficients, plan.filterOrder, 0);
  float smoothingParameter = 0.0f;
  const SplineStatus status = spline(n + 2 * pad, extendedSeries_, splineOutput_,
                                     smoothingParameter, plan.period, spline_);
  if (status == SplineStatus::TooShort) {
    s.outcome = SeriesOutcome::TooShort;
    return;
  }
  if (status == SplineStatus::NotPositiveDefinite) {
    s.outcome = SeriesOutcome::NotSolved;
    return;
  }
  if (status == SplineStatus::TooLong) {  // the plan's check comes first; kept for safety
    s.outcome = SeriesOutcome::TooLong;
    return;
  }
  for (int i = 0; i < n; ++i) {
    s.workSeries[i] = s.seriesMean + extendedSeries_[i + pad];
    s.smoothedSeries[i] = s.seriesMean + splineOutput_[i + pad];
  }
}

// The indices and the blocks of a listed series.
void SeriesComputer::finish(const SeriesSource& source, SeriesResult& s) {
  const PipelineSettings& settings = source.settings;
  if (settings.indices) {
    double* index = source.indexStore != nullptr ? source.indexStore->column(s.k) : s.ownIndex;
    // The values as read, but a standardized series' own: its spline is in deviations.
    const bool standardized = settings.scaling == Scaling::Standardize;
    s.indexBase = seriesIndices(settings.index, s.n, standardized ? s.workSeries : s.readValues,
                                s.smoothedSeries, s.filled, index);
    s.index = index;
  }
  const BlockColumns columns{source.table.seriesName[s.k], s.firstYear, s.n, s.readValues,
                             s.workSeries, s.smoothedSeries, residuals_, s.filled, s.index};
  for (const OutputFormat format : settings.formats) {
    const int f = static_cast<int>(format);
    s.blockSize[f] = source.outputs[f]->formatBlock(columns, s.blockText[f].get());
  }
}

void SeriesComputer::compute(const SeriesSource& source, int first, int count,
                             SeriesBatch& batch) {
  batch.first = first;
  batch.count = count;
  for (int i = 0; i < count; ++i) {
    batch.series[i].k = first + i;
    prepare(source, batch.series[i]);
  }
  computeFilters(batch);
  for (int i = 0; i < count; ++i) {
    SeriesResult& s = batch.series[i];
    if (s.outcome != SeriesOutcome::Listed) continue;
    if (!s.plan.fits(s.n)) {
      s.outcome = SeriesOutcome::TooLong;
      continue;
    }
    smooth(s);
    if (s.outcome == SeriesOutcome::Listed) finish(source, s);
  }
}

bool SeriesComputer::tooLong(const SeriesSource& source, int k, SeriesResult& s) {
  s.k = k;
  prepare(source, s);
  return s.outcome == SeriesOutcome::Listed && !s.plan.fits(s.n);
}

SeriesTooLongForPlan longestTooLong(const SeriesSource& source) {
  const SeriesTable& t = source.table;
  const PipelineSettings& settings = source.settings;
  SeriesTooLongForPlan longest;
  std::unique_ptr<SeriesComputer> computer;
  std::unique_ptr<SeriesResult> s;
  for (int k = 0; k < t.seriesCount; ++k) {
    // Trimming only shortens a series, and a shorter one fits whenever a longer one does.
    const int untrimmed = t.yearCount[k];
    if (settings.planFor(untrimmed).fits(untrimmed)) continue;
    if (!computer) {
      computer = std::make_unique_for_overwrite<SeriesComputer>();
      s = std::make_unique_for_overwrite<SeriesResult>();
    }
    if (computer->tooLong(source, k, *s) && s->n > longest.n) longest = {k, s->n, s->plan};
  }
  return longest;
}

std::unique_ptr<SeriesBatch> makeSeriesBatch(const SeriesOutputs& outputs, int width) {
  // Storage made once and left as it comes: every series writes what is read of it.
  auto batch = std::make_unique_for_overwrite<SeriesBatch>();
  for (int i = 0; i < width; ++i) {
    for (int f = 0; f < OUTPUT_FORMATS; ++f) {
      if (outputs[static_cast<std::size_t>(f)] == nullptr) continue;
      batch->series[i].blockText[f] = std::make_unique_for_overwrite<char[]>(
          static_cast<std::size_t>(outputs[static_cast<std::size_t>(f)]->blockCapacity()));
    }
  }
  return batch;
}

}  // namespace ringsmooth
