#include "driver/table_run.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "core/file_names.h"
#include "core/series_table.h"
#include "core/text_field.h"
#include "driver/chronology_run.h"
#include "driver/index_store.h"
#include "driver/open_table.h"
#include "driver/output_names.h"
#include "driver/series_scheduler.h"
#include "driver/table_wide_run.h"
#include "input/series_file.h"
#include "plot/plot1.h"
#include "output/chronology_files.h"
#include "plot/plot_device.h"

namespace ringsmooth {
namespace {

// A table's outputs of the formats asked for: each written under a temporary name and put in
// place when the table is done.
class TableOutputs {
 public:
  // Refuses names the system would misread and outputs over the input table.
  TableOutputs(const RunSettings& settings, const OpenTable& input) : settings_(settings) {
    for (const TableOutput& output : tableOutputs(settings)) {
      refuseNulInOutputName(output.what, output.name);
      refuseOutputOverTable(input, output.name, output.what);
    }
  }

  // Creates the output of every format asked for.
  void create() {
    for (const OutputFormat format : settings_.formats) {
      const auto f = static_cast<std::size_t>(format);
      owned_[f] = makeSeriesOutputFile(format);
      owned_[f]->create(formatOutputName(settings_, format));
      files_[f] = owned_[f].get();
    }
  }

  const SeriesOutputs& files() const { return files_; }
  void close() {
    for (const OutputFormat format : settings_.formats) {
      const auto f = static_cast<std::size_t>(format);
      if (owned_[f]) owned_[f]->close();
    }
  }

 private:
  const RunSettings& settings_;
  std::unique_ptr<SeriesOutputFile> owned_[OUTPUT_FORMATS];
  SeriesOutputs files_{};
};

// Reads the table, with the dialogue's questions about its shape, and passes on what the
// reader found; `site` is the file's site header, or the table's own. Returns the status so
// far: 1 when the reader skipped a series.
int readTable(RunSettings& settings, OpenTable& input, const TableConsole& console,
              SeriesTable& table, SiteHeader& site) {
  if (console.dialogue != nullptr) console.dialogue->askTableShape(settings);
  // A Tucson file is read without the column count and flag answers.
  const InputFormat format = settings.inputFormat.value_or(formatForName(settings.inputFileName));
  const InputSummary read = readSeriesFile(input.file(), format, settings.columnCount,
                                           settings.missingFlag, table);
  input.close();
  site = read.site.value_or(tableSite(settings.inputFileName));
  for (const Note& note : readingNoteList(read)) console.notes.note(note);
  for (const InputError& skipped : read.skipped) console.notes.report(skipped);
  if (console.tally != nullptr) console.tally->skipped += static_cast<int>(read.skipped.size());
  return read.skipped.empty() ? EXIT_NORMAL : EXIT_INPUT_ERROR;
}

// Where a table's plots go: the device, and in a batch run with the pdf device one PDF of the
// whole table, a page per series.
struct TablePlots {
  TablePlots(const RunSettings& settings, const TableConsole& console)
      : base(plotBase(settings)), output{&device, console.echo, &console.notes} {
    if (settings.plotSpan == PlotSpan::None) return;
    const char* requested = settings.plotDevice.empty() ? std::getenv("RINGSMOOTH_PLOT_DEVICE")
                                                        : settings.plotDevice.c_str();
    choosePlotDevice(device, requested, console.notes);
    if (console.dialogue == nullptr && std::strcmp(device.extension, "pdf") == 0) {
      book.emplace(output, plotBookName(settings));
    }
  }

  PlotDevice device{};
  std::string base;
  PlotOutput output;
  std::optional<PlotBook> book;
};

// A spline whose cutoff is longer than its series is nearly a straight line: a batch run says
// how many of the table's series that was.
void noteSeriesShorterThanCutoff(const TableConsole& console, const RunSettings& settings,
                                 const PipelineTally& tally) {
  if (tally.shorterThanCutoff == 0) return;
  const std::string cutoff = settings.cutoffPercent > 0
                                 ? "their cutoff (" + std::to_string(settings.cutoffPercent) +
                                       "% of their length)"
                                 : "the cutoff (" + std::to_string(settings.cutoff) + " years)";
  const char* verb = tally.shorterThanCutoff == 1 ? " is" : " are";
  console.notes.tableNote(std::to_string(tally.shorterThanCutoff) + " of " +
                          std::to_string(tally.listed) + " series" + verb + " shorter than " +
                          cutoff + ": their splines are nearly straight lines.");
}

// The table's own outputs need every series' indices once all are written.
bool keepsIndices(const RunSettings& settings) {
  return settings.chronology.any() || settings.stats || settings.indexTable;
}

PipelineSettings pipelineSettings(const RunSettings& settings, int jobs) {
  return PipelineSettings{smoothingPlan(settings.cutoff, settings.ends),
                          settings.scaling,
                          settings.plotSpan,
                          jobs,
                          settings.formats,
                          settings.cutoffPercent,
                          settings.ends,
                          writesCsv(settings) || keepsIndices(settings),
                          settings.index,
                          settings.filter,
                          settings.predict};
}

// The most years a series of the table spans, as the reader delivered it.
int longestSeries(const SeriesTable& table) {
  if (table.seriesCount <= 0) return 0;
  return *std::max_element(table.yearCount, table.yearCount + table.seriesCount);
}

// The table's series, from the smoothing questions to the chronology. Throws SeriesTooLong
// after putting the outputs with the blocks before it in place.
void smoothTable(RunSettings& settings, const TableConsole& console, const SeriesTable& table,
                 TableOutputs& outputs, const SiteHeader& site) {
  if (console.dialogue != nullptr) console.dialogue->askSmoothing(settings);
  const PipelineSettings pipeline = pipelineSettings(settings, console.jobs);
  TablePlots plots(settings, console);
  PlotBook* const book = plots.book ? &*plots.book : nullptr;
  if (console.progress != nullptr) console.progress->tableHolds(table.seriesCount);
  const IndexStorePtr indices =
      keepsIndices(settings) ? makeIndexStore(table.seriesCount, longestSeries(table)) : nullptr;
  const std::string tableShown = shownTableName(settings.inputFileName);
  PipelineTally tally;
  const SeriesDestination destination{&outputs.files(), console.echo,
                                      &console.notes,   console.dialogue != nullptr,
                                      settings.plotSpan != PlotSpan::None ? &plots.device : nullptr,
                                      plots.base.c_str(), book,
                                      console.progress, console.stop,
                                      indices.get(),    &tally,
                                      tableShown.c_str()};
  const auto finish = [&] {
    if (book != nullptr) book->close();
    outputs.close();
  };
  try {
    processAllSeries(SeriesSource{table, pipeline, outputs.files(), indices.get()}, destination);
  } catch (const SeriesTooLong&) {
    finish();
    throw;
  }
  if (console.tally != nullptr) {
    console.tally->listed += tally.listed;
    console.tally->skipped += tally.skipped;
  }
  if (console.dialogue == nullptr) noteSeriesShorterThanCutoff(console, settings, tally);
  if (!indices) {
    finish();
    return;
  }
  TableWideOutputs wide(settings, table, *indices);
  wide.build(book, console.jobs);
  finish();
  wide.write(console.notes, site);
}

// A batch table a series of which the cutoff does not fit fails before any output is made,
// naming the longest such series and the largest cutoff that would fit it.
void refuseCutoffTooLong(const RunSettings& settings, const SeriesTable& table) {
  const PipelineSettings pipeline = pipelineSettings(settings, 1);
  const SeriesOutputs none{};
  const SeriesTooLongForPlan longest =
      longestTooLong(SeriesSource{table, pipeline, none, nullptr});
  if (longest.k < 0) return;
  const int fits = largestCutoffThatFits(pipeline, longest.n);
  const std::string largest =
      fits == 0 ? "no cutoff fits it; --ends=none smooths it without predicted years"
                : "the largest cutoff that fits is " + std::to_string(fits) +
                      (settings.cutoffPercent > 0 ? "%" : " years");
  throw CutoffTooLong("The cutoff is too long for series " + std::to_string(longest.k + 1) + " (" +
                          trimmedText(table.seriesName[longest.k], NAME_LENGTH) + "), the longest",
                      tooLongForSpline(longest.n, longest.plan), largest);
}

}  // namespace

int runTable(RunSettings& settings, const TableConsole& console) {
  OpenTable input(settings.inputFileName);
  const bool dialogue = console.dialogue != nullptr;
  if (dialogue) console.dialogue->askOutputFile(settings);
  TableOutputs outputs(settings, input);
  // The dialogue's listing is made as soon as it is named; a batch table's outputs once the
  // table is read and its cutoff known to fit every series, so that a table that fails leaves
  // its earlier outputs as they were.
  if (dialogue) outputs.create();
  const SeriesTablePtr table = makeSeriesTable();
  SiteHeader site;
  const int status = readTable(settings, input, console, *table, site);
  if (console.tally != nullptr) console.tally->read = true;
  if (!dialogue) {
    refuseCutoffTooLong(settings, *table);
    outputs.create();
  }
  if (table->seriesCount <= 0) {
    console.notes.tableNote("The table holds no series with data rows; nothing to do.");
    outputs.close();
    return status;
  }
  smoothTable(settings, console, *table, outputs, site);
  return status;
}

}  // namespace ringsmooth
