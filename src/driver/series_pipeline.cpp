// The per-series pipeline: trimming, gap filling, centring or standardizing, the prediction-error
// filter and its echo, end extension, the smoothing spline, the result block and the plot.
// All arithmetic here is single precision, as the listed values require.
#include "driver/series_pipeline.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "analysis/extend.h"
#include "analysis/index.h"
#include "analysis/mnsd.h"
#include "core/run_error.h"
#include "driver/fixed_field.h"
#include "driver/jobs.h"
#include "driver/report.h"

namespace ringsmooth {

static_assert(SPLINE_MAX_LENGTH == MAX_YEARS, "an extended series fits the work arrays exactly");
static_assert(PLOT_MAX_POINTS == MAX_YEARS, "a plot draws every year a series can have");

SmoothingPlan smoothingPlan(int cutoff, Ends ends) {
  if (ends == Ends::None) return SmoothingPlan{cutoff, 0, 0};
  return SmoothingPlan{cutoff, cutoff, cutoff};
}

int relativeCutoff(int percent, int n) {
  const long long years = (static_cast<long long>(percent) * n + 50) / 100;
  return static_cast<int>(std::max(1LL, years));
}

namespace {

constexpr int COEFFICIENTS_PER_LINE = 10;

// A value is missing when it equals the flag in single precision, or is a NaN.
bool isMissing(float value, float missingFlag) { return value == missingFlag || std::isnan(value); }

void fill(float array[], float value) { std::fill(array, array + MAX_YEARS, value); }

// Where series k's indices go: its own column of the table, from the start, once its values
// have been read (the memory is already the program's, and each series' indices end up in
// one stretch, in the order of its years).
double* indexColumn(SeriesTable& table, int k) { return table.values + static_cast<long>(k) * MAX_YEARS; }

}  // namespace

// Trimming, the valid values, mean and deviation, gap filling and centring or standardizing.
// The reader has already trimmed, in double precision, the cells it found missing; this trims
// again in single precision, the precision of the pipeline, which also catches a flag that a
// float can't hold exactly (-99.99 read as a double is no -99.99f).
void SeriesComputer::prepare(SeriesTable& t, const PipelineSettings& settings, SeriesSlot& s) {
  const int k = s.k;
  const float flag = t.missingFlag;
  const char normalize = settings.normalizeAnswer;
  const double* column = t.values + static_cast<long>(k) * MAX_YEARS;
  s.outcome = SeriesOutcome::Listed;
  s.n = 0;
  s.untrimmedCount = t.yearCount[k];
  s.untrimmedFirstYear = t.firstYear[k];
  s.plan = settings.plan;
  s.seriesMean = 0.0f;
  s.filledCount = 0;
  s.noIndexCount = 0;

  // Span and trimming.
  int n = s.untrimmedCount;
  int leadingMissing = 0;
  while (leadingMissing < n && isMissing(static_cast<float>(column[leadingMissing]), flag)) {
    ++leadingMissing;
  }
  int trailingMissing = 0;
  while (trailingMissing < n - leadingMissing &&
         isMissing(static_cast<float>(column[n - 1 - trailingMissing]), flag)) {
    ++trailingMissing;
  }
  n -= leadingMissing + trailingMissing;
  s.leadingMissing = leadingMissing;
  if (n <= 0) {
    s.outcome = SeriesOutcome::NoValue;
    return;
  }
  t.firstYear[k] += leadingMissing;
  t.lastYear[k] -= trailingMissing;
  t.yearCount[k] = n;
  s.n = n;
  s.firstYear = t.firstYear[k];
  s.plan = settings.planFor(n);
  float* workSeries = s.workSeries;
  float* levelLine = s.levelLine;
  for (int i = 0; i < n; ++i) {
    workSeries[i] = levelLine[i] = static_cast<float>(column[i + leadingMissing]);
  }

  // Mean, gaps and standardizing.
  int validCount = 0;
  for (int i = 0; i < n; ++i) {
    if (!isMissing(levelLine[i], flag)) validValues_[validCount++] = levelLine[i];
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
  if (normalize == 'y' && !(seriesStdDev > 0.0f && std::isfinite(seriesStdDev))) {
    s.outcome = SeriesOutcome::NoSpread;
    return;
  }
  for (int i = 0; i < n; ++i) {
    const bool missing = isMissing(workSeries[i], flag);
    s.filled[i] = missing ? 1 : 0;
    if (missing && s.filledCount++ == 0) s.firstFilledYear = s.firstYear + i;
    if (normalize == 'y') {
      workSeries[i] = missing ? 0.0f : (workSeries[i] - seriesMean) / seriesStdDev;
      levelLine[i] = 0.0f;
    } else if (normalize == 'n') {
      workSeries[i] = missing ? 0.0f : workSeries[i] - seriesMean;
      levelLine[i] = seriesMean;
    }
  }
  s.seriesMean = normalize == 'y' ? 0.0f : seriesMean;
}

// The prediction-error filters of the batch's prepared series: those of one filter order (all
// of them, unless cutoffs are relative to length) at once.
void SeriesComputer::computeFilters(SeriesBatch& batch) {
  bool done[MEMCOF_MAX_LANES] = {};
  for (int first = 0; first < batch.count; ++first) {
    const SeriesSlot& leader = batch.slot[first];
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
      SeriesSlot& s = batch.slot[i];
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
void SeriesComputer::smooth(SeriesSlot& s) {
  const SmoothingPlan& plan = s.plan;
  const int n = s.n;
  const int pad = plan.extensionYears;
  fill(extendedSeries_, 0.0f);
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

void SeriesComputer::compute(SeriesTable& table, const PipelineSettings& settings, int first,
                             int count, SeriesBatch& batch) {
  batch.first = first;
  batch.count = count;
  for (int i = 0; i < count; ++i) {
    batch.slot[i].k = first + i;
    prepare(table, settings, batch.slot[i]);
  }
  computeFilters(batch);
  for (int i = 0; i < count; ++i) {
    SeriesSlot& s = batch.slot[i];
    if (s.outcome != SeriesOutcome::Listed) continue;
    if (!s.plan.fits(s.n)) {
      s.outcome = SeriesOutcome::TooLong;
      continue;
    }
    smooth(s);
    if (s.outcome != SeriesOutcome::Listed) continue;
    double* index = nullptr;
    if (settings.indices) {
      index = indexColumn(table, s.k);
      s.noIndexCount = seriesIndices(settings.index, s.n, s.workSeries, s.smoothedSeries,
                                     s.filled, index);
    }
    const BlockColumns columns{table.seriesName[s.k], s.firstYear,    s.n,
                               s.workSeries,          s.smoothedSeries, residuals_,
                               s.filled,              index};
    for (const OutputFormat format : settings.formats) {
      const int f = static_cast<int>(format);
      s.blockSize[f] = formatBlock(format, columns, s.blockText[f].get());
    }
  }
}

std::unique_ptr<SeriesBatch> makeSeriesBatch(const std::vector<OutputFormat>& formats, int width) {
  // Storage made once and left as it comes: every series writes what is read of it.
  auto batch = std::make_unique_for_overwrite<SeriesBatch>();
  for (int i = 0; i < width; ++i) {
    for (const OutputFormat format : formats) {
      batch->slot[i].blockText[static_cast<int>(format)] =
          std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(blockCapacity(format)));
    }
  }
  return batch;
}

namespace {

void writeCount3(std::FILE* console, int value) {
  char field[3];
  integerField(field, 3, value);
  std::fwrite(field, 1, 3, console);
}

// The echo of the filter: the heading between empty lines, " ip: NNN", then the coefficients
// ten to a line, each line led by one blank, each value in 8 columns with 3 decimals.
void echoFilterHeading(std::FILE* console, int filterOrder) {
  std::fputs("\n *** Computing prediction error filter (length ", console);
  writeCount3(console, filterOrder);
  std::fputs(") for extrapolation\n\n", console);
}

void echoFilter(std::FILE* console, int filterOrder, const double coefficients[]) {
  std::fputs(" ip: ", console);
  writeCount3(console, filterOrder);
  std::fputc('\n', console);
  char line[1 + COEFFICIENTS_PER_LINE * VALUE_WIDTH + 1];
  for (int first = 0; first < filterOrder; first += COEFFICIENTS_PER_LINE) {
    const int count = std::min(COEFFICIENTS_PER_LINE, filterOrder - first);
    line[0] = ' ';
    for (int j = 0; j < count; ++j) fixedField(line + 1 + j * VALUE_WIDTH, coefficients[first + j]);
    line[1 + count * VALUE_WIDTH] = '\n';
    std::fwrite(line, 1, static_cast<size_t>(2 + count * VALUE_WIDTH), console);
  }
}

}  // namespace

void SeriesWriter::noteSkipped(const SeriesSlot& s, const char* why) {
  if (out_.progress != nullptr) out_.progress->hide();
  std::fprintf(out_.notes, "%s Series %d (%.*s): %s; no result block.\n", out_.notePrefix,
               s.k + 1, NAME_LENGTH, table_.seriesName[s.k], why);
}

// The run stops at a series too long for the spline: the dialogue shows the spline's own
// message; a batch run says which series stopped it.
void SeriesWriter::stopTooLong(const SeriesSlot& s) {
  if (out_.progress != nullptr) out_.progress->hide();
  if (out_.dialogue) {
    writeSplineLengthMessage(out_.notes);
  } else {
    std::fprintf(out_.notes,
                 "%s Series %d (%.*s): %d years and %d predicted at each end are more than the "
                 "spline's %d; the table stops here.\n",
                 out_.notePrefix, s.k + 1, NAME_LENGTH, table_.seriesName[s.k], s.n,
                 s.plan.extensionYears, MAX_YEARS);
  }
  throw SeriesTooLong();
}

// The plot over the span as the reader delivered it: the years trimmed at either end are
// drawn at the series' level.
void SeriesWriter::plotWidestRange(SeriesSlot& s, const char* fileName) {
  const float mean = s.seriesMean;
  fill(plotValues_, 0.0f);
  fill(plotSmoothed_, 0.0f);
  fill(s.levelLine, mean);
  for (int i = 0; i < s.n; ++i) {
    plotValues_[i + s.leadingMissing] = s.workSeries[i];
    plotSmoothed_[i + s.leadingMissing] = s.smoothedSeries[i];
  }
  for (int i = 0; i < s.leadingMissing; ++i) plotValues_[i] = plotSmoothed_[i] = mean;
  for (int i = s.leadingMissing + s.n; i < s.untrimmedCount; ++i) {
    plotValues_[i] = plotSmoothed_[i] = mean;
  }
  draw(SeriesCurves{plotValues_, plotSmoothed_, s.levelLine, s.untrimmedCount,
                    s.untrimmedFirstYear, table_.seriesName[s.k], settings_.normalizeAnswer},
       fileName);
}

void SeriesWriter::draw(const SeriesCurves& curves, const char* fileName) {
  if (out_.progress != nullptr) out_.progress->hide();
  if (out_.book != nullptr) {
    out_.book->page(curves);
  } else {
    plot1(curves.observed, curves.smoothed, curves.level, curves.n, curves.startYear,
          curves.title, curves.normalized, plotOutput_, fileName, plotWork_);
  }
}

void SeriesWriter::plot(SeriesSlot& s) {
  const char range = settings_.plotRangeAnswer;
  if ((range != 'y' && range != 'n') || out_.plotDevice == nullptr) return;
  char fileName[4096] = "";
  if (out_.book == nullptr) {
    plotFileName(*out_.plotDevice, out_.plotBase, s.k + 1, fileName, sizeof fileName);
  }
  if (range == 'n') {
    draw(SeriesCurves{s.workSeries, s.smoothedSeries, s.levelLine, s.n, s.firstYear,
                      table_.seriesName[s.k], settings_.normalizeAnswer},
         fileName);
  } else {
    plotWidestRange(s, fileName);
  }
}

// The notes of a listed series: its filled years, and its years without a ratio index.
void SeriesWriter::noteListed(const SeriesSlot& s) {
  if (s.filledCount == 0 && s.noIndexCount == 0) return;
  if (out_.progress != nullptr) out_.progress->hide();
  const int name = NAME_LENGTH;
  if (s.filledCount > 0) {
    std::fprintf(out_.notes,
                 "%s Series %d (%.*s): %d %s filled with the series mean, the first %d.\n",
                 out_.notePrefix, s.k + 1, name, table_.seriesName[s.k], s.filledCount,
                 s.filledCount == 1 ? "year" : "years", s.firstFilledYear);
  }
  if (s.noIndexCount > 0) {
    std::fprintf(out_.notes,
                 "%s Series %d (%.*s): %d %s without a ratio index: the spline is not above 0.\n",
                 out_.notePrefix, s.k + 1, name, table_.seriesName[s.k], s.noIndexCount,
                 s.noIndexCount == 1 ? "year" : "years");
  }
}

void SeriesWriter::writeSeries(SeriesSlot& s) {
  const SmoothingPlan& plan = s.plan;
  switch (s.outcome) {
    case SeriesOutcome::NoValue:
      return noteSkipped(s, "no value present");
    case SeriesOutcome::NoSpread:
      return noteSkipped(s, "standard deviation 0 or undefined, cannot standardize");
    case SeriesOutcome::TooLarge:
      return noteSkipped(s, "values too large for a single-precision mean");
    default:
      break;
  }
  if (out_.echo != nullptr && plan.filterOrder >= 1) {
    echoFilterHeading(out_.echo, plan.filterOrder);
    // A filter longer than the storage can only belong to a series far too long for the
    // spline: the stop below comes before any coefficient is shown.
    if (plan.filterFits()) echoFilter(out_.echo, plan.filterOrder, s.filterCoefficients);
  }
  switch (s.outcome) {
    case SeriesOutcome::TooLong:
      return stopTooLong(s);
    case SeriesOutcome::TooShort:
      return noteSkipped(s, "too short to smooth");
    case SeriesOutcome::NotSolved:
      writeSplineNotSolvedMessage(out_.notes);
      return noteSkipped(s, "the spline could not be solved");
    default:
      break;
  }
  for (const OutputFormat format : settings_.formats) {
    const int f = static_cast<int>(format);
    out_.listings[f]->writeText(s.blockText[f].get(), s.blockSize[f]);
  }
  noteListed(s);
  if (out_.chronologySeries != nullptr) out_.chronologySeries[s.k] = 1;
  if (out_.tally != nullptr) {
    ++out_.tally->listed;
    if (s.n < plan.period) ++out_.tally->shorterThanCutoff;
  }
  plot(s);
}

void SeriesWriter::write(SeriesBatch& batch) {
  for (int i = 0; i < batch.count; ++i) {
    if (out_.stop != nullptr && out_.stop->load()) throw RunStopped();
    writeSeries(batch.slot[i]);
    if (out_.progress != nullptr) out_.progress->seriesDone(batch.first + i + 1);
  }
}

namespace {

// Batches of `width` series computed ahead by worker threads into a ring of slots, and written
// in order by the calling thread. Batch b goes to slot b % slots; a worker takes batch b only
// once batch b - slots has been written, so a slot is never overwritten before it is written
// out. One slot more than workers lets the writer work on one while every worker computes.
class ParallelPipeline {
 public:
  ParallelPipeline(SeriesTable& table, const PipelineSettings& settings, SeriesWriter& writer,
                   int width)
      : table_(table),
        settings_(settings),
        writer_(writer),
        width_(width),
        batches_((table.seriesCount + width - 1) / width),
        slots_(std::min(batches_, settings.jobs + 1)),
        ready_(static_cast<std::size_t>(slots_), -1) {
    for (int i = 0; i < slots_; ++i) slot_.push_back(makeSeriesBatch(settings.formats, width));
  }

  void run() {
    const int workers = std::min(settings_.jobs, batches_);
    // Every work area is made before the first thread starts.
    for (int w = 0; w < workers; ++w) {
      computers_.push_back(std::make_unique_for_overwrite<SeriesComputer>());
    }
    {
      // The workers are started with the termination signals blocked, and keep them so.
      const TerminationSignalsBlocked blocked;
      for (const auto& computer : computers_) {
        threads_.emplace_back([this, area = computer.get()] { work(*area); });
      }
    }
    try {
      writeInOrder();
    } catch (...) {
      finish();
      throw;
    }
    finish();
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  void work(SeriesComputer& computer) {
    for (;;) {
      int b = 0;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        slotFree_.wait(lock, [&] { return stop_ || next_ >= batches_ || next_ - written_ < slots_; });
        if (stop_ || next_ >= batches_) return;
        b = next_++;
      }
      const int first = b * width_;
      try {
        computer.compute(table_, settings_, first, std::min(width_, table_.seriesCount - first),
                         *slot_[index(b)]);
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failure_) failure_ = std::current_exception();
        stop_ = true;
        batchReady_.notify_all();
        slotFree_.notify_all();
        return;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      ready_[index(b)] = b;
      batchReady_.notify_all();
    }
  }

  void writeInOrder() {
    for (int b = 0; b < batches_; ++b) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        batchReady_.wait(lock, [&] { return stop_ || ready_[index(b)] == b; });
        if (ready_[index(b)] != b) return;  // a worker failed
      }
      writer_.write(*slot_[index(b)]);
      std::lock_guard<std::mutex> lock(mutex_);
      ready_[index(b)] = -1;
      ++written_;
      slotFree_.notify_all();
    }
  }

  void finish() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    slotFree_.notify_all();
    for (std::thread& t : threads_) t.join();
    threads_.clear();
  }

  std::size_t index(int b) const { return static_cast<std::size_t>(b % slots_); }

  SeriesTable& table_;
  const PipelineSettings& settings_;
  SeriesWriter& writer_;
  const int width_;
  const int batches_;
  const int slots_;
  std::vector<std::unique_ptr<SeriesBatch>> slot_;
  std::vector<int> ready_;  // per slot: the batch it holds, computed and not yet written; or -1
  std::vector<std::unique_ptr<SeriesComputer>> computers_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable batchReady_;
  std::condition_variable slotFree_;
  int next_ = 0;     // the next batch a worker takes
  int written_ = 0;  // batches written
  bool stop_ = false;
  std::exception_ptr failure_;
};

}  // namespace

void processAllSeries(SeriesTable& table, const PipelineSettings& settings,
                      const SeriesOutput& output) {
  // Made once for the run, before the first series; nothing is allocated per series.
  const auto writer = std::make_unique<SeriesWriter>(table, settings, output);
  const int width = memcofBatchWidth();
  // A table of a few batches is done before threads would pay for their start.
  constexpr int FEWEST_BATCHES_FOR_THREADS = 4;
  if (settings.jobs > 1 && table.seriesCount > FEWEST_BATCHES_FOR_THREADS * width) {
    ParallelPipeline(table, settings, *writer, width).run();
    return;
  }
  const auto computer = std::make_unique_for_overwrite<SeriesComputer>();
  const auto batch = makeSeriesBatch(settings.formats, width);
  for (int first = 0; first < table.seriesCount; first += width) {
    const int count = std::min(width, table.seriesCount - first);
    computer->compute(table, settings, first, count, *batch);
    writer->write(*batch);
  }
}

}  // namespace ringsmooth
