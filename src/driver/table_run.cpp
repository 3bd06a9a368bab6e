#include "driver/table_run.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "core/file_names.h"
#include "core/series_table.h"
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
  // Refuses names the system would misread and outputs over the input table, then creates
  // every output.
  TableOutputs(const RunSettings& settings, const OpenTable& input) : settings_(settings) {
    refuseNulInOutputName("the output listing", settings.outputFileName);
    const ChronologyOutputNames chronology = chronologyOutputNames(settings);
    refuseOutputOverTable(input, chronology.crn, "the chronology");
    refuseOutputOverTable(input, chronology.csv, "the chronology");
    const StatisticsOutputNames statistics = statisticsOutputNames(settings);
    refuseOutputOverTable(input, statistics.signal, "the statistics");
    refuseOutputOverTable(input, statistics.series, "the series statistics");
    refuseOutputOverTable(input, indexTableName(settings), "the index table");
    for (const OutputFormat format : settings.formats) {
      const std::string name = formatOutputName(settings, format);
      refuseOutputOverTable(input, name, "the output listing");
      const auto f = static_cast<std::size_t>(format);
      owned_[f] = makeSeriesOutputFile(format);
      owned_[f]->create(name);
      files_[f] = owned_[f].get();
    }
  }

  const SeriesOutputs& files() const { return files_; }
  void close() {
    for (const OutputFormat format : settings_.formats) {
      owned_[static_cast<std::size_t>(format)]->close();
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
  for (const std::string& line : readingNotes(read)) console.notes.line(line);
  for (const InputError& skipped : read.skipped) console.notes.report(skipped);
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
      keepsIndices(settings) ? makeIndexStore(table.seriesCount) : nullptr;
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

}  // namespace

int runTable(RunSettings& settings, const TableConsole& console) {
  OpenTable input(settings.inputFileName);
  if (console.dialogue != nullptr) console.dialogue->askOutputFile(settings);
  TableOutputs outputs(settings, input);
  const SeriesTablePtr table = makeSeriesTable();
  SiteHeader site;
  const int status = readTable(settings, input, console, *table, site);
  if (table->seriesCount <= 0) {
    console.notes.tableNote("The table holds no series with data rows; nothing to do.");
    outputs.close();
    return status;
  }
  smoothTable(settings, console, *table, outputs, site);
  return status;
}

}  // namespace ringsmooth
