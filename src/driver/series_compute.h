#pragma once
// Computing a series: trimming, gap filling, centring or standardizing, the prediction-error
// filter, the extension, the spline, the indices and the blocks of its outputs. No console and
// no file: it reads the table and writes only the SeriesResult it is given (and the index
// storage that result names), so that series can be computed on any thread.
#include <array>
#include <memory>
#include <vector>

#include "analysis/memcof_batch.h"
#include "analysis/spline.h"
#include "core/capacities.h"
#include "core/series_table.h"
#include "driver/index_store.h"
#include "driver/settings.h"
#include "driver/smoothing_plan.h"
#include "output/series_output_file.h"

namespace ringsmooth {

// The outputs of a table's series by format number, null for a format not asked for: the
// computing forms the blocks (SeriesOutputFile::formatBlock), the writer writes them.
using SeriesOutputs = std::array<SeriesOutputFile*, OUTPUT_FORMATS>;

// What the computing of a table's series reads, and where their indices go.
struct SeriesSource {
  const SeriesTable& table;
  const PipelineSettings& settings;
  const SeriesOutputs& outputs;
  IndexStore* indexStore;  // the indices of each listed series, for the chronology; or null
};

// What became of a series.
enum class SeriesOutcome {
  Listed,       // smoothed: a result block (and a plot) follows
  NoValue,      // every value of its span is missing
  NoSpread,     // standardizing asked for, but its standard deviation is 0 or undefined
  TooLarge,     // its values are too large for their single-precision mean
  TooShort,     // extended, still too short for the spline (one value, cutoff 1)
  NotSolved,    // the spline's system was not safely positive definite
  TooLong,      // extended, longer than the spline takes: the run stops here
};

// A computed series: everything its output needs.
struct SeriesResult {
  int k;                   // series number, from 0
  SeriesOutcome outcome;
  int n;                   // trimmed length
  int firstYear;           // trimmed first year
  int leadingMissing;      // years trimmed at the start
  int untrimmedCount;      // the span as the reader delivered it
  int untrimmedFirstYear;
  SmoothingPlan plan;      // the table's, or the series' own for a cutoff relative to length
  float seriesMean;        // 0 for a standardized series
  int filledCount;         // interior years filled with the mean
  int firstFilledYear;     // the first of them
  IndexBase indexBase;     // what the indices were taken against
  const double* index;     // the index of each listed year (NaN for none), or null
  float readValues[MAX_YEARS];   // each year's value as read: its cell in single precision
  float workSeries[MAX_YEARS];   // the listed values (after gap filling, level restored)
  float levelLine[MAX_YEARS];    // the plot's level line
  float smoothedSeries[MAX_YEARS];  // the spline of the series' own years, level restored
  double filterCoefficients[MAX_YEARS];
  unsigned char filled[MAX_YEARS];  // 1 where the listed value was filled with the mean
  double ownIndex[MAX_YEARS];       // the indices, when there is no index store
  // The series' block in each output format asked for (blockCapacity), by the format's number.
  std::unique_ptr<char[]> blockText[OUTPUT_FORMATS];
  long blockSize[OUTPUT_FORMATS];
};

// Series first .. first+count-1, computed together (their filters share one Burg batch).
struct SeriesBatch {
  int first;
  int count;
  SeriesResult series[MEMCOF_MAX_LANES];
};

// The longest series of a table that would be smoothed but that the spline can't take with its
// plan, as computing the table would find it: its number (from 0; -1 when every series fits)
// and its trimmed length.
struct SeriesTooLongForPlan {
  int k = -1;
  int n = 0;
  SmoothingPlan plan{};
};
SeriesTooLongForPlan longestTooLong(const SeriesSource& source);


// A batch of up to `width` series (memcofBatchWidth), with room for their blocks in `outputs`.
std::unique_ptr<SeriesBatch> makeSeriesBatch(const SeriesOutputs& outputs, int width);

// The work storage of one computing thread, made once and used for every batch.
class SeriesComputer {
 public:
  // True when series k, prepared as compute() prepares it, would be smoothed but is too long
  // for the spline with its plan (s then holds its trimmed length and its plan).
  bool tooLong(const SeriesSource& source, int k, SeriesResult& s);

  // Computes series first .. first+count-1 of the source's table (count <= memcofBatchWidth())
  // into `batch`, each listed series with its indices (when wanted) and its blocks. Writes
  // nothing else but the index store's columns of these series.
  void compute(const SeriesSource& source, int first, int count, SeriesBatch& batch);

 private:
  void prepare(const SeriesSource& source, SeriesResult& s);
  void scale(const SeriesTable& table, Scaling scaling, SeriesResult& s);
  void computeFilters(SeriesBatch& batch);
  void smooth(SeriesResult& s);
  void finish(const SeriesSource& source, SeriesResult& s);

  BurgWork burg_;
  double burgPower_[MAX_YEARS];  // the discrepancies of the orders an automatic filter weighs
  double burgForward_[MAX_YEARS];
  double burgBackward_[MAX_YEARS];
  SplineWork spline_;
  float validValues_[MAX_YEARS];
  float extendedSeries_[MAX_YEARS];
  float splineOutput_[MAX_YEARS];
  float residuals_[MAX_YEARS];
};

}  // namespace ringsmooth
