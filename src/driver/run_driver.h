#pragma once
// The run: the dialogue, the two files, and the per-series pipeline for every series in order.
#include <cstdio>

#include "analysis/memcof_batch.h"
#include "driver/listing.h"
#include "driver/series_table.h"
#include "plot/plot1.h"

namespace ringsmooth {

// Exit statuses of a run.
inline constexpr int EXIT_NORMAL = 0;       // finished, or "/" at the first question
inline constexpr int EXIT_INPUT_ERROR = 1;  // a bad answer or table, a file that can't be used
inline constexpr int EXIT_USAGE = 2;        // a command-line argument the program doesn't take
inline constexpr int EXIT_TOO_LONG = 3;     // a series too long for the spline: run stopped

// The pipeline's working storage, made once for the run and reused for every series. The series
// are taken MEMCOF_LANES at a time: each is prepared (trimmed, gap-filled, centred) into its own
// slot, their prediction-error filters are computed together, and then each is finished in
// order (echo, extension, spline, listing, plot).
struct SeriesWork {
  float workSeries[MEMCOF_LANES][MAX_YEARS];
  float levelLine[MEMCOF_LANES][MAX_YEARS];
  double filterCoefficients[MEMCOF_LANES][MAX_YEARS];
  float validValues[MAX_YEARS];
  float extendedSeries[MAX_YEARS];
  float smoothedSeries[MAX_YEARS];
  float residuals[MAX_YEARS];
  float plotSmoothed[MAX_YEARS];
};

// Everything the series need besides their own storage.
struct RunContext {
  SeriesTable& table;
  const RunSettings& settings;
  SeriesWork& work;
  Listing& listing;
  const PlotDevice& plotDevice;
  const char* listingName;  // without trailing blanks
  std::FILE* console;
};

// Processes every series of the table in order, from trimming to plot. Series that can't be
// processed (no value, no spread to standardize by, too short to smooth) get a one-line note
// and no block. Throws SeriesTooLong (after the spline's message) when a series extended by
// twice the cutoff would exceed MAX_YEARS, before anything of that series reaches the listing;
// InputError when the listing can't be written.
void processAllSeries(const RunContext& run);

// Runs the whole program on the given console; returns the exit status.
int runDriver(std::FILE* consoleIn, std::FILE* consoleOut);

}  // namespace ringsmooth
