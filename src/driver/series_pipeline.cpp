// The per-series pipeline: trimming, gap filling, centring or standardizing, the prediction-error
// filter and its echo, end extension, the smoothing spline, the result block and the plot.
// All arithmetic here is single precision, as the listed values require.
#include <cmath>
#include <cstring>

#include "analysis/extend.h"
#include "analysis/memcof.h"
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

void noteSkipped(const RunContext& run, int k, const char* why) {
  std::fprintf(run.console, " Series %d (%.*s): %s; no result block.\n", k + 1, NAME_LENGTH,
               run.table.seriesName[k], why);
}

void fill(float array[], float value) {
  for (int i = 0; i < MAX_YEARS; ++i) array[i] = value;
}

// The plot over the span as the reader delivered it: the years trimmed at either end are
// drawn at the series' level.
void plotWidestRange(int k, const RunContext& run, int n, int leadingMissing, int untrimmedCount,
                     int untrimmedFirstYear, float seriesMean, const char* fileName) {
  SeriesWork& w = run.work;
  fill(w.validValues, 0.0f);
  fill(w.plotSmoothed, 0.0f);
  fill(w.levelLine, seriesMean);
  for (int i = 0; i < n; ++i) {
    w.validValues[i + leadingMissing] = w.workSeries[i];
    w.plotSmoothed[i + leadingMissing] = w.smoothedSeries[i];
  }
  for (int i = 0; i < leadingMissing; ++i) w.validValues[i] = w.plotSmoothed[i] = seriesMean;
  for (int i = leadingMissing + n; i < untrimmedCount; ++i) {
    w.validValues[i] = w.plotSmoothed[i] = seriesMean;
  }
  plot1(MAX_YEARS, w.validValues, w.plotSmoothed, w.levelLine, untrimmedCount, untrimmedFirstYear,
        run.table.seriesName[k], run.settings.normalizeAnswer, run.plotDevice, fileName,
        run.console);
}

}  // namespace

void processSeries(int k, const RunContext& run) {
  SeriesTable& t = run.table;
  SeriesWork& w = run.work;
  const float flag = t.missingFlag;
  const char normalize = run.settings.normalizeAnswer;
  const int cutoff = run.settings.cutoff;
  const double* column = t.values + static_cast<long>(k) * MAX_YEARS;

  // Span and trimming.
  int n = t.yearCount[k];
  const int untrimmedCount = n;
  const int untrimmedFirstYear = t.firstYear[k];
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
  if (n <= 0) {
    noteSkipped(run, k, "no value present");
    return;
  }
  t.firstYear[k] += leadingMissing;
  t.lastYear[k] -= trailingMissing;
  t.yearCount[k] = n;
  for (int i = 0; i < n; ++i) {
    w.workSeries[i] = w.levelLine[i] = static_cast<float>(column[i + leadingMissing]);
  }

  // Mean, gaps and standardizing.
  int validCount = 0;
  for (int i = 0; i < n; ++i) {
    if (!isMissing(w.levelLine[i], flag)) w.validValues[validCount++] = w.levelLine[i];
  }
  float seriesMean = 0.0f;
  float seriesStdDev = 0.0f;
  mnsd(w.validValues, validCount, seriesMean, seriesStdDev);
  if (normalize == 'y' && !(seriesStdDev > 0.0f && std::isfinite(seriesStdDev))) {
    noteSkipped(run, k, "standard deviation 0 or undefined, cannot standardize");
    return;
  }
  for (int i = 0; i < n; ++i) {
    const bool missing = isMissing(w.workSeries[i], flag);
    if (normalize == 'y') {
      w.workSeries[i] = missing ? 0.0f : (w.workSeries[i] - seriesMean) / seriesStdDev;
      w.levelLine[i] = 0.0f;
    } else if (normalize == 'n') {
      w.workSeries[i] = missing ? 0.0f : w.workSeries[i] - seriesMean;
      w.levelLine[i] = seriesMean;
    }
  }
  if (normalize == 'y') seriesMean = 0.0f;

  // Prediction-error filter.
  const int filterLength = cutoff;
  echoFilterHeading(run.console, filterLength);
  double meanSquare = 0.0;
  memcof(w.workSeries, n, filterLength, meanSquare, w.filterCoefficients, w.fwdError, w.bwdError,
         w.prevCoeff);
  echoFilter(run.console, filterLength, w.filterCoefficients);

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
  for (int i = 0; i < n; ++i) w.extendedSeries[extensionLength + i] = w.workSeries[i];
  extend(w.extendedSeries, n, extensionLength, w.filterCoefficients, filterLength, 0);
  float smoothingParameter = 0.0f;
  const int count = static_cast<int>(extendedCount);
  std::fflush(run.console);  // the spline writes its own messages on standard output
  spline(count, w.extendedSeries, w.smoothedSeries, smoothingParameter, cutoff);
  if (count < 4) {
    noteSkipped(run, k, "too short to smooth");
    return;
  }
  if (w.smoothedSeries[0] == SPLINE_NOT_POSITIVE) {
    noteSkipped(run, k, "the spline could not be solved");
    return;
  }

  // Restoring the level: position i is written only after position i + extensionLength is read.
  for (int i = 0; i < n; ++i) {
    w.workSeries[i] = seriesMean + w.extendedSeries[i + extensionLength];
    w.smoothedSeries[i] = seriesMean + w.smoothedSeries[i + extensionLength];
  }

  run.listing.writeBlock(t.seriesName[k], t.firstYear[k], n, w.workSeries, w.smoothedSeries,
                         w.residuals);

  // Plot.
  const char range = run.settings.plotRangeAnswer;
  if (range != 'y' && range != 'n') return;
  char fileName[4096];
  plotFileName(run.plotDevice, run.listingName, k + 1, fileName, sizeof fileName);
  std::fflush(run.console);
  if (range == 'n') {
    plot1(MAX_YEARS, w.workSeries, w.smoothedSeries, w.levelLine, n, t.firstYear[k],
          t.seriesName[k], normalize, run.plotDevice, fileName, run.console);
  } else {
    plotWidestRange(k, run, n, leadingMissing, untrimmedCount, untrimmedFirstYear, seriesMean,
                    fileName);
  }
  std::fflush(run.console);
}

}  // namespace ringsmooth
