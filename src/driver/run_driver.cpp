// The run dialogue: the questions, the two files, and the loop over the series.
#include "driver/run_driver.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "core/run_error.h"
#include "core/series_table.h"
#include "driver/dialogue.h"
#include "driver/listing.h"
#include "driver/report.h"
#include "driver/series_pipeline.h"
#include "input/free_form.h"
#include "input/series_file.h"
#include "plot/plot_device.h"
#include "plot/plplot_fonts.h"

namespace ringsmooth {
namespace {

InputError fileError(const char* what, const std::string& name, int errorNumber) {
  return InputError{std::string(what) + " \"" + name + "\"", std::strerror(errorNumber)};
}

// A NUL typed into a file name would end the name there for the system, so that another file
// than the one named would be opened, or replaced by the listing. Such a name is refused.
void refuseNulInName(const char* what, const std::string& name) {
  if (name.find('\0') == std::string::npos) return;
  std::string shown = name;
  for (size_t at = 0; (at = shown.find('\0', at)) != std::string::npos;) shown.replace(at, 1, "\\0");
  throw InputError{std::string(what) + " \"" + shown + "\"", "The name holds a NUL character"};
}

// The input table, open for reading, closed when the run is done with it.
class OpenTable {
 public:
  // A directory or a missing file is reported with the system's own words.
  explicit OpenTable(const std::string& name) {
    refuseNulInName("Cannot open the input file", name);
    file_ = std::fopen(name.c_str(), "rb");
    if (file_ == nullptr) throw fileError("Cannot open the input file", name, errno);
    struct stat info {};
    if (fstat(fileno(file_), &info) == 0 && S_ISDIR(info.st_mode)) {
      close();
      throw fileError("Cannot open the input file", name, EISDIR);
    }
  }
  ~OpenTable() { close(); }
  OpenTable(const OpenTable&) = delete;
  OpenTable& operator=(const OpenTable&) = delete;

  std::FILE* file() const { return file_; }
  void close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
  }

 private:
  std::FILE* file_ = nullptr;
};

// Creating the listing over the input table would destroy the table before it is read.
void refuseListingOverTable(const OpenTable& table, const std::string& listingName) {
  struct stat tableInfo {};
  struct stat listingInfo {};
  if (fstat(fileno(table.file()), &tableInfo) == 0 &&
      stat(listingName.c_str(), &listingInfo) == 0 && tableInfo.st_dev == listingInfo.st_dev &&
      tableInfo.st_ino == listingInfo.st_ino) {
    throw InputError{"Cannot create the output listing \"" + listingName + "\"",
                     "It is the input file; the table would be overwritten"};
  }
}

int run(Dialogue& dialogue, std::FILE* out) {
  RunSettings settings;
  if (!dialogue.askInputFile(settings)) return EXIT_NORMAL;
  OpenTable input(settings.inputFileName);

  dialogue.askOutputFile(settings);
  refuseNulInName("Cannot create the output listing", settings.outputFileName);
  refuseListingOverTable(input, settings.outputFileName);
  Listing listing;
  listing.create(settings.outputFileName);

  dialogue.askTableShape(settings);
  const SeriesTablePtr table = makeSeriesTable();
  // A Tucson file (by its name) is read without the column count and flag answers.
  const InputSummary read = readSeriesFile(input.file(), formatForName(settings.inputFileName),
                                           settings.columnCount, settings.missingFlag, *table);
  input.close();
  for (const std::string& note : readingNotes(read)) std::fprintf(out, "%s\n", note.c_str());

  if (table->seriesCount <= 0) {
    std::fputs("\n The table holds no series with data rows; nothing to do.\n", out);
    listing.close();
    return EXIT_NORMAL;
  }

  dialogue.askSmoothing(settings);
  const PipelineSettings pipeline{smoothingPlan(settings.cutoff), settings.normalizeAnswer,
                                  settings.plotRangeAnswer};
  PlotDevice plotDevice{};
  const bool plots = settings.plotRangeAnswer == 'y' || settings.plotRangeAnswer == 'n';
  if (plots) choosePlotDevice(plotDevice, std::getenv("RINGSMOOTH_PLOT_DEVICE"), out);
  const SeriesOutput output{listing, out, plots ? &plotDevice : nullptr,
                            settings.outputFileName.c_str()};
  processAllSeries(*table, pipeline, output);
  listing.close();
  return EXIT_NORMAL;
}

}  // namespace

int runDriver(std::FILE* consoleIn, std::FILE* consoleOut) {
  plplot_fonts();
  int status = EXIT_NORMAL;
  try {
    FreeFormReader console(consoleIn, FreeFormReader::Kind::Console);
    Dialogue dialogue(console, consoleOut);
    status = run(dialogue, consoleOut);
  } catch (const InputError& error) {
    writeErrorReport(consoleOut, error);
    status = EXIT_INPUT_ERROR;
  } catch (const SeriesTooLong&) {
    status = EXIT_TOO_LONG;
  } catch (const std::bad_alloc&) {
    writeErrorReport(consoleOut, InputError{"The run stopped", "Not enough memory"});
    status = EXIT_INPUT_ERROR;
  } catch (const std::exception& error) {
    writeErrorReport(consoleOut, InputError{"The run stopped", error.what()});
    status = EXIT_INPUT_ERROR;
  }
  // A console that could not take the dialogue (a full disk, a closed pipe) must not end in a
  // reported success: whoever reads it has not seen what the run said.
  if (std::fflush(consoleOut) != 0 || std::ferror(consoleOut)) {
    std::fprintf(stderr, "ringsmooth: writing to the console failed: %s\n", std::strerror(errno));
    if (status == EXIT_NORMAL) status = EXIT_INPUT_ERROR;
  }
  return status;
}

}  // namespace ringsmooth
