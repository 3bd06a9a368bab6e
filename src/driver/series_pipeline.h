#pragma once
// The per-series pipeline. Computing a series (trimming, gap filling, centring or standardizing,
// the prediction-error filter, the extension, the spline) needs no console and no file: it runs
// in a SeriesComputer's own work storage and leaves everything the series' output needs in a
// SeriesBatch. Writing a series (the filter echo, notes, the result block, the plot) is the
// SeriesWriter's, strictly in series order.
#include <atomic>
#include <cstdio>
#include <exception>
#include <memory>

#include "analysis/memcof_batch.h"
#include "analysis/spline.h"
#include "core/capacities.h"
#include "core/series_table.h"
#include "driver/listing.h"
#include "driver/progress.h"
#include "driver/settings.h"
#include "plot/plot1.h"

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

// The plan for a cutoff of 1 or more. With no prediction at the ends, there is no filter and no
// extension: the spline has the series alone.
SmoothingPlan smoothingPlan(int cutoff, Ends ends = Ends::Predict);

// A cutoff of `percent` of a series of n years: rounded to the nearest year (halves up), at
// least 1.
int relativeCutoff(int percent, int n);

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

// One series from its computation to its block.
struct SeriesSlot {
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
  int noIndexCount;        // years without a ratio index for their spline (not filled ones)
  float workSeries[MAX_YEARS];   // the listed values (after gap filling, level restored)
  float levelLine[MAX_YEARS];    // the plot's level line
  float smoothedSeries[MAX_YEARS];  // the spline of the series' own years, level restored
  double filterCoefficients[MAX_YEARS];
  unsigned char filled[MAX_YEARS];  // 1 where the listed value was filled with the mean
  // The series' block in each output format asked for (blockCapacity), by the format's number.
  std::unique_ptr<char[]> blockText[OUTPUT_FORMATS];
  long blockSize[OUTPUT_FORMATS];
};

// Series first .. first+count-1, computed together (their filters share one Burg batch).
struct SeriesBatch {
  int first;
  int count;
  SeriesSlot slot[MEMCOF_MAX_LANES];
};

// A batch of up to `width` series (memcofBatchWidth), with room for their blocks in `formats`.
std::unique_ptr<SeriesBatch> makeSeriesBatch(const std::vector<OutputFormat>& formats, int width);

// The answers the pipeline uses.
struct PipelineSettings {
  SmoothingPlan plan;    // every series', unless cutoffPercent is set
  char normalizeAnswer;  // 'y' standardize, 'n' centre
  char plotRangeAnswer;  // 'y' widest span, 'n' listed years, anything else no plot
  int jobs = 1;          // threads that compute series; 1: the calling thread alone
  std::vector<OutputFormat> formats = {OutputFormat::Listing};  // the forms of the blocks
  int cutoffPercent = 0;  // 1..1000: each series' cutoff is that share of its length
  Ends ends = Ends::Predict;
  bool indices = false;   // each series' indices are computed (the CSV and the chronology)
  IndexKind index = IndexKind::Ratio;

  // The plan of a series of n years.
  SmoothingPlan planFor(int n) const {
    return cutoffPercent > 0 ? smoothingPlan(relativeCutoff(cutoffPercent, n), ends) : plan;
  }
};

// What a table's series came to, for the table's notes.
struct PipelineTally {
  int listed = 0;
  int shorterThanCutoff = 0;  // listed series with fewer years than their cutoff
};

// The work storage of one computing thread, made once and used for every batch.
class SeriesComputer {
 public:
  // Computes series batch.first .. first+count-1 of `table` (count <= memcofBatchWidth()) into
  // `batch`, trimming their spans in the table, and forms the block of each listed series.
  // With indices wanted, a listed series' indices replace its values in its table column (the
  // values are not read again). Writes nothing anywhere else.
  void compute(SeriesTable& table, const PipelineSettings& settings, int first, int count,
               SeriesBatch& batch);

 private:
  void prepare(SeriesTable& table, const PipelineSettings& settings, SeriesSlot& s);
  void computeFilters(SeriesBatch& batch);
  void smooth(SeriesSlot& s);

  BurgWork burg_;
  SplineWork spline_;
  float validValues_[MAX_YEARS];
  float extendedSeries_[MAX_YEARS];
  float splineOutput_[MAX_YEARS];
  float residuals_[MAX_YEARS];
};

// Where a series' output goes.
struct SeriesOutput {
  Listing* const* listings;  // by format number: the output of each format asked for
  std::FILE* echo;         // the filter echo and the plots' range lines; null: not written
  std::FILE* notes;        // skipped series, plot files, the spline's messages
  const char* notePrefix;  // written before every note ("" in the dialogue)
  bool dialogue;           // the dialogue's own forms of the messages
  const PlotDevice* plotDevice;  // null when there are no plots
  const char* plotBase;    // plot files are named after it (the listing's name)
  PlotBook* book;          // every plot as a page of one file, or null: a plot per series
  Progress* progress;      // the batch run's progress display, or null
  const std::atomic<bool>* stop;  // set when the run is to stop before its next block, or null
  unsigned char* chronologySeries = nullptr;  // 1 for each series written with its indices,
                                              // for the table's chronology; or null
  PipelineTally* tally = nullptr;       // counted as the series are written, or null
};

// Thrown by the writer, before a block, when the run was asked to stop.
class RunStopped : public std::exception {
 public:
  const char* what() const noexcept override { return "the run was stopped"; }
};

// Writes the output of computed series in order; owns the storage the plots need.
class SeriesWriter {
 public:
  SeriesWriter(const SeriesTable& table, const PipelineSettings& settings,
               const SeriesOutput& output)
      : table_(table),
        settings_(settings),
        out_(output),
        plotOutput_{output.plotDevice, output.echo, output.notes, output.notePrefix} {}

  // The echo, note, block and plot of every series of the batch, in order. Throws
  // SeriesTooLong (after the spline's message) at a series too long for the spline, and
  // InputError when the listing can't be written.
  void write(SeriesBatch& batch);

 private:
  void writeSeries(SeriesSlot& s);
  void noteSkipped(const SeriesSlot& s, const char* why);
  void noteListed(const SeriesSlot& s);
  void stopTooLong(const SeriesSlot& s);
  void plot(SeriesSlot& s);
  void plotWidestRange(SeriesSlot& s, const char* fileName);
  void draw(const SeriesCurves& curves, const char* fileName);

  const SeriesTable& table_;
  const PipelineSettings& settings_;
  const SeriesOutput& out_;
  PlotOutput plotOutput_;
  float plotValues_[MAX_YEARS];
  float plotSmoothed_[MAX_YEARS];
  PlotWork plotWork_;
};

// Computes and writes every series of the table in order, from trimming to plot. With more than
// one job, that many threads compute batches of series ahead, each in its own work storage,
// while the calling thread writes them strictly in series order: the output is the same for
// any number of jobs. The computing threads never take the termination signals.
void processAllSeries(SeriesTable& table, const PipelineSettings& settings,
                      const SeriesOutput& output);

}  // namespace ringsmooth
