// The per-series pipeline: trimming, gap filling, centring or standardizing, the prediction-error
// filter and its echo, end extension, the smoothing spline, the result block and the plot.
// All arithmetic here is single precision, as the listed values require.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "analysis/extend.h"
#include "analysis/memcof_batch.h"
#include "analysis/mnsd.h"
#include "analysis/spline.h"
#include "driver/fixed_field.h"
#include "driver/run_driver.h"

namespace ringsmooth {
namespace {

constexpr int COEFFICIENTS_PER_LINE = 10;

// A value is missing when it equals the flag in single precision, or is a NaN.
bool isMissing(float value, float missingFlag) { return value == missingFlag || std::isnan(value); }

void writeCount3(std::FILE* console, int value) {
  char field[3];
  integerField(field, 3, value);
  std::fwrite(field, 1, 3, console);
}

// The echo of the filter: the heading between empty lines, " ip: NNN", then the coefficients
// ten to a line, each line led by one blank, each value in 8 columns with 3 decimals.
void echoFilterHeading(std::FILE* console, int filterLength) {
  std::fputs("\n *** Computing prediction error filter (length ", console);
  writeCount3(console, filterLength);
  std::fputs(") for extrapolation\n\n", console);
}

void echoFilter(std::FILE* console, int filterLength, const double coefficients[]) {
  std::fputs(" ip: ", console);
  writeCount3(console, filterLength);
  std::fputc('\n', console);
  char line[1 + COEFFICIENTS_PER_LINE * VALUE_WIDTH + 1];
  for (int first = 0; first < filterLength; first += COEFFICIENTS_PER_LINE) {
    const int count = std::min(COEFFICIENTS_PER_LINE, filterLength - first);
    line[0] = ' ';
    for (int j = 0; j < count; ++j) fixedField(line + 1 + j * VALUE_WIDTH, coefficients[first + j]);
    line[1 + count * VALUE_WIDTH] = '\n';
    std::fwrite(line, 1, static_cast<size_t>(2 + count * VALUE_WIDTH), console);
  }
}

// One series between its preparation and its finish.
struct PreparedSeries {
  int k;                  // series number, from 0
  int n;                  // trimmed length
  int leadingMissing;
  int untrimmedCount;
  int untrimmedFirstYear;
  float seriesMean;       // 0 for a standardized series
  const char* skipReason; // why the series gets no block, or nullptr
  float* workSeries;      // its slot of the batch storage
  float* levelLine;
  double* filterCoefficients;
};

void noteSkipped(const RunContext& run, int k, const char* why) {
  std::fprintf(run.console, " Series %d (%.*s): %s; no result block.\n", k + 1, NAME_LENGTH,
               run.table.seriesName[k], why);
}

void fill(float array[], float value) {
  for (int i = 0; i < MAX_YEARS; ++i) array[i] = value;
}

// Trimming, the valid values, mean and deviation, gap filling and centring or standardizing,
// into the series' slot. Writes nothing to the console: the series' notes come in order later.
void prepareSeries(int k, int slot, const RunContext& run, PreparedSeries& p) {
  SeriesTable& t = run.table;
  SeriesWork& w = run.work;
  const float flag = t.missingFlag;
  const char normalize = run.settings.normalizeAnswer;
  const double* column = t.values + static_cast<long>(k) * MAX_YEARS;
  p = PreparedSeries{k, 0, 0, t.yearCount[k], t.firstYear[k], 0.0f, nullptr,
                     w.workSeries[slot], w.levelLine[slot], w.filterCoefficients[slot]};

  // Span and trimming.
  int n = p.untrimmedCount;
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
  p.leadingMissing = leadingMissing;
  if (n <= 0) {
    p.skipReason = "no value present";
    return;
  }
  t.firstYear[k] += leadingMissing;
  t.lastYear[k] -= trailingMissing;
  t.yearCount[k] = n;
  p.n = n;
  float* workSeries = p.workSeries;
  float* levelLine = p.levelLine;
  for (int i = 0; i < n; ++i) {
    workSeries[i] = levelLine[i] = static_cast<float>(column[i + leadingMissing]);
  }

  // Mean, gaps and standardizing.
  int validCount = 0;
  for (int i = 0; i < n; ++i) {
    if (!isMissing(levelLine[i], flag)) w.validValues[validCount++] = levelLine[i];
  }
  float seriesMean = 0.0f;
  float seriesStdDev = 0.0f;
  mnsd(w.validValues, validCount, seriesMean, seriesStdDev);
  if (normalize == 'y' && !(seriesStdDev > 0.0f && std::isfinite(seriesStdDev))) {
    p.skipReason = "standard deviation 0 or undefined, cannot standardize";
    return;
  }
  for (int i = 0; i < n; ++i) {
    const bool missing = isMissing(workSeries[i], flag);
    if (normalize == 'y') {
      workSeries[i] = missing ? 0.0f : (workSeries[i] - seriesMean) / seriesStdDev;
      levelLine[i] = 0.0f;
    } else if (normalize == 'n') {
      workSeries[i] = missing ? 0.0f : workSeries[i] - seriesMean;
      levelLine[i] = seriesMean;
    }
  }
  p.seriesMean = normalize == 'y' ? 0.0f : seriesMean;
}

// The prediction-error filters of the prepared series of a batch, all at once.
void computeFilters(PreparedSeries batch[], int count, int filterLength) {
  const float* series[MEMCOF_LANES];
  int lengths[MEMCOF_LANES];
  double* coefficients[MEMCOF_LANES];
  double meanSquare[MEMCOF_LANES];
  int lanes = 0;
  for (int i = 0; i < count; ++i) {
    if (batch[i].skipReason != nullptr) continue;
    series[lanes] = batch[i].workSeries;
    lengths[lanes] = batch[i].n;
    coefficients[lanes] = batch[i].filterCoefficients;
    ++lanes;
  }
  if (lanes > 0) memcofBatch(lanes, series, lengths, filterLength, meanSquare, coefficients);
}

// The plot over the span as the reader delivered it: the years trimmed at either end are
// drawn at the series' level.
void plotWidestRange(const PreparedSeries& p, const RunContext& run, const char* fileName) {
  SeriesWork& w = run.work;
  const float mean = p.seriesMean;
  fill(w.validValues, 0.0f);
  fill(w.plotSmoothed, 0.0f);
  fill(p.levelLine, mean);
  for (int i = 0; i < p.n; ++i) {
    w.validValues[i + p.leadingMissing] = p.workSeries[i];
    w.plotSmoothed[i + p.leadingMissing] = w.smoothedSeries[i];
  }
  for (int i = 0; i < p.leadingMissing; ++i) w.validValues[i] = w.plotSmoothed[i] = mean;
  for (int i = p.leadingMissing + p.n; i < p.untrimmedCount; ++i) {
    w.validValues[i] = w.plotSmoothed[i] = mean;
  }
  plot1(MAX_YEARS, w.validValues, w.plotSmoothed, p.levelLine, p.untrimmedCount,
        p.untrimmedFirstYear, run.table.seriesName[p.k], run.settings.normalizeAnswer,
        run.plotDevice, fileName, run.console);
}

// The filter echo, the extension, the spline, the result block and the plot of one series.
void finishSeries(PreparedSeries& p, const RunContext& run) {
  if (p.skipReason != nullptr) {
    noteSkipped(run, p.k, p.skipReason);
    return;
  }
  SeriesTable& t = run.table;
  SeriesWork& w = run.work;
  const int cutoff = run.settings.cutoff;
  const int n = p.n;

  const int filterLength = cutoff;
  echoFilterHeading(run.console, filterLength);
  // A filter longer than the storage can only belong to a series that is far too long for
  // the spline: the stop below comes before any coefficient is shown.
  if (filterLength <= MAX_YEARS) echoFilter(run.console, filterLength, p.filterCoefficients);

  // Extension and smoothing. The length check comes before anything of this series is placed
  // or listed; the blocks of earlier series are already on disk.
  const int extensionLength = cutoff;
  const long extendedCount = n + 2L * extensionLength;
  if (extendedCount > MAX_YEARS) {
    std::fflush(run.console);
    writeSplineLengthMessage();
    throw SeriesTooLong{};
  }
  fill(w.extendedSeries, 0.0f);
  for (int i = 0; i < n; ++i) w.extendedSeries[extensionLength + i] = p.workSeries[i];
  extend(w.extendedSeries, n, extensionLength, p.filterCoefficients, filterLength, 0);
  float smoothingParameter = 0.0f;
  const int count = static_cast<int>(extendedCount);
  std::fflush(run.console);  // the spline writes its own messages on standard output
  spline(count, w.extendedSeries, w.smoothedSeries, smoothingParameter, cutoff);
  if (count < 4) {
    noteSkipped(run, p.k, "too short to smooth");
    return;
  }
  if (w.smoothedSeries[0] == SPLINE_NOT_POSITIVE) {
    noteSkipped(run, p.k, "the spline could not be solved");
    return;
  }

  // Restoring the level: position i is written only after position i + extensionLength is read.
  float* workSeries = p.workSeries;
  for (int i = 0; i < n; ++i) {
    workSeries[i] = p.seriesMean + w.extendedSeries[i + extensionLength];
    w.smoothedSeries[i] = p.seriesMean + w.smoothedSeries[i + extensionLength];
  }

  run.listing.writeBlock(t.seriesName[p.k], t.firstYear[p.k], n, workSeries, w.smoothedSeries,
                         w.residuals);

  // Plot.
  const char range = run.settings.plotRangeAnswer;
  if (range != 'y' && range != 'n') return;
  char fileName[4096];
  plotFileName(run.plotDevice, run.listingName, p.k + 1, fileName, sizeof fileName);
  std::fflush(run.console);
  if (range == 'n') {
    plot1(MAX_YEARS, workSeries, w.smoothedSeries, p.levelLine, n, t.firstYear[p.k],
          t.seriesName[p.k], run.settings.normalizeAnswer, run.plotDevice, fileName, run.console);
  } else {
    plotWidestRange(p, run, fileName);
  }
  std::fflush(run.console);
}

}  // namespace

void processAllSeries(const RunContext& run) {
  const int seriesCount = run.table.seriesCount;
  const int filterLength = run.settings.cutoff;
  PreparedSeries batch[MEMCOF_LANES];
  for (int first = 0; first < seriesCount; first += MEMCOF_LANES) {
    const int count = std::min(MEMCOF_LANES, seriesCount - first);
    for (int i = 0; i < count; ++i) prepareSeries(first + i, i, run, batch[i]);
    if (filterLength >= 1 && filterLength <= MAX_YEARS) computeFilters(batch, count, filterLength);
    for (int i = 0; i < count; ++i) finishSeries(batch[i], run);
  }
}

}  // namespace ringsmooth
