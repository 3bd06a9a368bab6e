#pragma once
// Writing computed series, strictly in series order: the filter echo, the notes, the blocks
// (through the outputs' writers) and the plots.
#include <atomic>
#include <cstdio>
#include <exception>
#include <string>

#include "core/notes.h"
#include "driver/index_store.h"
#include "driver/progress.h"
#include "driver/series_compute.h"
#include "plot/plot1.h"

namespace ringsmooth {

// What a table's series came to, for the table's notes.
struct PipelineTally {
  int listed = 0;
  int skipped = 0;            // series with a note and no block
  int shorterThanCutoff = 0;  // listed series with fewer years than their cutoff
};

// Where a table's series go.
struct SeriesDestination {
  const SeriesOutputs* outputs;  // the output of each format asked for
  std::FILE* echo;               // the filter echo and the plots' range lines; null: not written
  Notes* notes;                  // skipped series, plot files, the spline's messages
  bool dialogue;                 // the dialogue's own forms of the messages
  const PlotDevice* plotDevice;  // null when there are no plots
  const char* plotBase;          // plot files are named after it (the listing's name)
  PlotBook* book;                // every plot as a page of one file, or null: a plot per series
  Progress* progress;            // the batch run's progress display, or null
  const std::atomic<bool>* stop;  // set when the run is to stop before its next block, or null
  IndexStore* indexStore;         // each series written with its indices is marked taking
                                  // part in the chronology, with its span; or null
  PipelineTally* tally;           // counted as the series are written
  const char* table = "";         // the table as a book's page titles name it
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
               const SeriesDestination& destination)
      : table_(table),
        settings_(settings),
        out_(destination),
        plotOutput_{destination.plotDevice, destination.echo, destination.notes} {}

  // The echo, notes, blocks and plot of every series of the batch, in order. Throws
  // SeriesTooLong (after the spline's message) at a series too long for the spline, and
  // OutputError when an output can't be written.
  void write(const SeriesBatch& batch);

 private:
  void writeSeries(const SeriesResult& s);
  void writeListed(const SeriesResult& s);
  void noteSkipped(const SeriesResult& s, NoteKind kind, const char* why);
  void noteListed(const SeriesResult& s);
  void stopTooLong(const SeriesResult& s);
  void plot(const SeriesResult& s);
  void plotWidestRange(const SeriesResult& s, const char* fileName);
  void draw(const SeriesCurves& curves, const char* fileName);
  const char* pageTitle(const SeriesResult& s);

  const SeriesTable& table_;
  const PipelineSettings& settings_;
  const SeriesDestination& out_;
  PlotOutput plotOutput_;
  float plotValues_[MAX_YEARS];
  float plotSmoothed_[MAX_YEARS];
  float plotLevel_[MAX_YEARS];
  PlotWork plotWork_;
  std::string pageTitle_;
};

}  // namespace ringsmooth
