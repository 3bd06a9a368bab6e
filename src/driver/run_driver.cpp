// The run: its steps for one table, with the dialogue's questions where it asks them, and the
// two ways in (the dialogue and a batch run).
#include "driver/run_driver.h"

#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/file_names.h"
#include "core/run_error.h"
#include "core/series_table.h"
#include "driver/chronology_run.h"
#include "driver/dialogue.h"
#include "driver/jobs.h"
#include "driver/listing.h"
#include "driver/output_names.h"
#include "driver/progress.h"
#include "driver/report.h"
#include "driver/series_pipeline.h"
#include "input/free_form.h"
#include "input/series_file.h"
#include "output/replaced_file.h"
#include "plot/plot1.h"
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

// The input table, open for reading ("-": standard input), closed when the run is done with it.
class OpenTable {
 public:
  // A directory or a missing file is reported with the system's own words.
  explicit OpenTable(const std::string& name) {
    if (name == "-") {
      file_ = stdin;
      return;
    }
    refuseNulInName("Cannot open the input file", name);
    file_ = std::fopen(name.c_str(), "rb");
    owned_ = true;
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
    if (owned_ && file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
  }

 private:
  std::FILE* file_ = nullptr;
  bool owned_ = false;
};

// An output over the input table would destroy the table (the listing before it is read).
// `what` names the output ("the output listing").
void refuseOutputOverTable(const OpenTable& table, const std::string& outputName,
                           const char* what) {
  struct stat tableInfo {};
  struct stat outputInfo {};
  if (!outputName.empty() && outputName != "-" && fstat(fileno(table.file()), &tableInfo) == 0 &&
      stat(outputName.c_str(), &outputInfo) == 0 && tableInfo.st_dev == outputInfo.st_dev &&
      tableInfo.st_ino == outputInfo.st_ino) {
    throw InputError{std::string("Cannot create ") + what + " \"" + outputName + "\"",
                     "It is the input file; the table would be overwritten"};
  }
}


// Where one table's run writes besides its output.
struct RunConsole {
  std::FILE* echo;         // the filter echo and plot range lines; null: not written
  std::FILE* notes;        // notes, messages
  std::string notePrefix;  // "" in the dialogue; "ringsmooth: TABLE:" in a batch run
  Dialogue* dialogue;      // the dialogue's questions, or null in a batch run
  Progress* progress;      // a batch run's display, or null
  int jobs;                // threads computing the table's series
  const std::atomic<bool>* stop;  // set when the run is to stop before its next block, or null

  // A line of the reader's own, as it wrote it in the dialogue, after the prefix in a batch run.
  void noteLine(const std::string& line) const {
    if (progress != nullptr) progress->hide();
    if (dialogue == nullptr) std::fputs(notePrefix.c_str(), notes);
    std::fprintf(notes, "%s\n", line.c_str());
  }

  // A report on part of the table left out, as an error's; in a batch run it names the table.
  void report(InputError error, const std::string& table) const {
    if (progress != nullptr) progress->hide();
    if (dialogue == nullptr) error.heading = tableName(table) + ": " + error.heading;
    writeErrorReport(notes, error);
  }

  // A note of its own: in the dialogue after an empty line, in a batch run after the prefix.
  void note(const char* text) const {
    if (progress != nullptr) progress->hide();
    if (dialogue != nullptr) {
      std::fprintf(notes, "\n %s\n", text);
    } else {
      std::fprintf(notes, "%s %s\n", notePrefix.c_str(), text);
    }
  }
};

// A spline whose cutoff is longer than its series is nearly a straight line: a batch run says
// how many of the table's series that was.
void noteSeriesShorterThanCutoff(const RunConsole& console, const RunSettings& settings,
                                 const PipelineTally& tally) {
  if (tally.shorterThanCutoff == 0) return;
  const std::string cutoff = settings.cutoffPercent > 0
                                 ? "their cutoff (" + std::to_string(settings.cutoffPercent) +
                                       "% of their length)"
                                 : "the cutoff (" + std::to_string(settings.cutoff) + " years)";
  const char* verb = tally.shorterThanCutoff == 1 ? " is" : " are";
  const std::string text = std::to_string(tally.shorterThanCutoff) + " of " +
                           std::to_string(tally.listed) + " series" + verb + " shorter than " +
                           cutoff + ": their splines are nearly straight lines.";
  console.note(text.c_str());
}

// The run of one table, from opening it to closing its output: the dialogue's steps, with its
// questions asked where the run needs the answers; a batch run has them all in `settings`.
// Returns the exit status of a run that went through: 1 when the reader skipped a series.
// Throws InputError and SeriesTooLong.
int runTable(RunSettings& settings, const RunConsole& console) {
  Dialogue* const dialogue = console.dialogue;
  OpenTable input(settings.inputFileName);

  if (dialogue != nullptr) dialogue->askOutputFile(settings);
  refuseNulInName("Cannot create the output listing", settings.outputFileName);
  const ChronologyOutputNames chronologyNames = chronologyOutputNames(settings);
  refuseOutputOverTable(input, chronologyNames.crn, "the chronology");
  refuseOutputOverTable(input, chronologyNames.csv, "the chronology");
  // Each output is written under a temporary name and put in place when the table is done.
  Listing listings[OUTPUT_FORMATS];
  Listing* outputs[OUTPUT_FORMATS] = {};
  for (const OutputFormat format : settings.formats) {
    const std::string name = formatOutputName(settings, format);
    refuseOutputOverTable(input, name, "the output listing");
    Listing& listing = listings[static_cast<int>(format)];
    listing.create(name, format);
    outputs[static_cast<int>(format)] = &listing;
  }
  const auto closeOutputs = [&] {
    for (const OutputFormat format : settings.formats) listings[static_cast<int>(format)].close();
  };

  if (dialogue != nullptr) dialogue->askTableShape(settings);
  const SeriesTablePtr table = makeSeriesTable();
  // A Tucson file is read without the column count and flag answers.
  const InputFormat format = settings.inputFormat.value_or(formatForName(settings.inputFileName));
  const InputSummary read = readSeriesFile(input.file(), format, settings.columnCount,
                                           settings.missingFlag, *table);
  input.close();
  for (const std::string& line : readingNotes(read)) console.noteLine(line);
  for (const InputError& skipped : read.skipped) console.report(skipped, settings.inputFileName);
  const int status = read.skipped.empty() ? EXIT_NORMAL : EXIT_INPUT_ERROR;

  if (table->seriesCount <= 0) {
    console.note("The table holds no series with data rows; nothing to do.");
    closeOutputs();
    return status;
  }

  if (dialogue != nullptr) dialogue->askSmoothing(settings);
  const PipelineSettings pipeline{smoothingPlan(settings.cutoff, settings.ends),
                                  settings.normalizeAnswer,
                                  settings.plotRangeAnswer,
                                  console.jobs,
                                  settings.formats,
                                  settings.cutoffPercent,
                                  settings.ends,
                                  writesCsv(settings) || settings.chronology.any(),
                                  settings.index};
  PlotDevice plotDevice{};
  const bool plots = settings.plotRangeAnswer == 'y' || settings.plotRangeAnswer == 'n';
  if (plots) {
    const char* requested = settings.plotDevice.empty() ? std::getenv("RINGSMOOTH_PLOT_DEVICE")
                                                        : settings.plotDevice.c_str();
    choosePlotDevice(plotDevice, requested, console.notes);
  }
  const std::string plotFilesBase = plotBase(settings);
  const PlotOutput plotOutput{&plotDevice, console.echo, console.notes,
                              console.notePrefix.c_str()};
  // A batch run puts a whole table's plots into one PDF, a page per series.
  std::optional<PlotBook> book;
  if (plots && dialogue == nullptr && std::strcmp(plotDevice.extension, "pdf") == 0) {
    book.emplace(plotOutput, plotBookName(settings));
  }
  if (console.progress != nullptr) console.progress->tableHolds(table->seriesCount);
  std::optional<TableChronology> chronology;
  if (settings.chronology.any()) chronology.emplace(*table);
  PipelineTally tally;
  const SeriesOutput output{outputs,
                            console.echo,
                            console.notes,
                            console.notePrefix.c_str(),
                            dialogue != nullptr,
                            plots ? &plotDevice : nullptr,
                            plotFilesBase.c_str(),
                            book ? &*book : nullptr,
                            console.progress,
                            console.stop,
                            chronology ? chronology->writtenSeries() : nullptr,
                            &tally};
  // A series too long for the spline stops the table with the blocks before it, which are kept.
  const auto finish = [&] {
    if (book) book->close();
    closeOutputs();
  };
  try {
    processAllSeries(*table, pipeline, output);
  } catch (const SeriesTooLong&) {
    finish();
    throw;
  }
  if (dialogue == nullptr) noteSeriesShorterThanCutoff(console, settings, tally);
  std::string chronologyNote;
  if (chronology) {
    const std::string title = "Chronology of " + withoutExtension(settings.inputFileName);
    chronologyNote = chronology->build(title.c_str(), book ? &*book : nullptr, console.jobs);
  }
  finish();
  if (chronology) {
    console.note(chronologyNote.c_str());
    chronology->write(chronologyNames, settings.inputFileName, settings.index);
  }
  return status;
}

int runDialogue(Dialogue& dialogue, std::FILE* out, int jobs) {
  RunSettings settings;
  if (!dialogue.askInputFile(settings)) return EXIT_NORMAL;
  return runTable(settings, RunConsole{out, out, "", &dialogue, nullptr, jobs, nullptr});
}

// Runs `body`, which returns the exit status of a run that went through, turning what stops a
// run into an exit status after a report on `reports`.
template <typename Body>
int stoppedBy(std::FILE* reports, const std::string& source, Body body) {
  const auto report = [&](InputError error) {
    if (!source.empty()) error.heading = source + ": " + error.heading;
    writeErrorReport(reports, error);
  };
  try {
    return body();
  } catch (const InputError& error) {
    report(error);
    return EXIT_INPUT_ERROR;
  } catch (const SeriesTooLong&) {
    return EXIT_TOO_LONG;
  } catch (const std::bad_alloc&) {
    report(InputError{"The run stopped", "Not enough memory"});
    return EXIT_INPUT_ERROR;
  } catch (const std::exception& error) {
    report(InputError{"The run stopped", error.what()});
    return EXIT_INPUT_ERROR;
  }
}

// A stream that could not take what the run wrote (a full disk, a closed pipe) must not end in
// a reported success: whoever reads it has not seen what the run said.
int checkWritten(std::FILE* stream, const char* what, int status) {
  if (std::fflush(stream) == 0 && !std::ferror(stream)) return status;
  std::fprintf(stderr, "ringsmooth: writing to %s failed: %s\n", what, std::strerror(errno));
  return status == EXIT_NORMAL ? EXIT_INPUT_ERROR : status;
}

}  // namespace

int runDriver(std::FILE* consoleIn, std::FILE* consoleOut) {
  plplot_fonts();
  removeTemporariesOnSignals(terminationSignals());
  bool jobsValid = true;
  const int jobs = jobsFromEnvironment(jobsValid);
  if (!jobsValid) {
    std::fprintf(stderr,
                 "ringsmooth: RINGSMOOTH_JOBS is not a whole number of 1 or more; using %d\n",
                 jobs);
  }
  int status = stoppedBy(consoleOut, "", [&] {
    FreeFormReader console(consoleIn, FreeFormReader::Kind::Console);
    Dialogue dialogue(console, consoleOut);
    return runDialogue(dialogue, consoleOut, jobs);
  });
  return checkWritten(consoleOut, "the console", status);
}

namespace {

// One table after another, each table's series computed by `jobs` threads.
int runTablesInTurn(const CommandLine& c, std::FILE* err, int jobs) {
  // The display would only get in the way of the echo.
  Progress progress(c.verbose ? nullptr : err, static_cast<int>(c.tables.size()));
  int status = EXIT_NORMAL;
  for (std::size_t t = 0; t < c.tables.size(); ++t) {
    RunSettings settings = tableSettings(c, t);
    const std::string name = tableName(c.tables[t]);
    const RunConsole console{c.verbose ? err : nullptr, err, "ringsmooth: " + name + ":", nullptr,
                             &progress, jobs, nullptr};
    const int tableStatus = stoppedBy(err, name, [&] {
      progress.startTable(static_cast<int>(t));
      return runTable(settings, console);
    });
    progress.hide();
    if (status == EXIT_NORMAL) status = tableStatus;
  }
  return status;
}

// What a table run side by side left for standard error, and its status.
struct TableOutcome {
  std::string text;
  int status = EXIT_NORMAL;
  bool done = false;
};

// Whole tables on `jobs` threads at once, for batch runs of many tables without plots (PLplot
// draws on one thread only). Each table's notes and reports are kept until every table before
// it is done, then written in table order, so standard error reads as in a run in turn.
// Every thread blocks the termination signals; the calling thread looks for them while it
// waits, and on one removes every temporary file (no table's output is put in place after
// that), then ends the process by that signal without waiting for the tables still running:
// one may be waiting for its input.
int runTablesSideBySide(const CommandLine& c, std::FILE* err, int jobs,
                        const sigset_t& termination) {
  const std::size_t tables = c.tables.size();
  std::vector<TableOutcome> outcome(tables);
  std::mutex mutex;
  std::condition_variable doneChanged;
  std::size_t next = 0;
  std::atomic<bool> stop{false};
  const auto work = [&] {
    for (;;) {
      std::size_t t = 0;
      {
        std::lock_guard<std::mutex> lock(mutex);
        if (next >= tables || stop) return;
        t = next++;
      }
      char* text = nullptr;
      std::size_t size = 0;
      std::FILE* notes = open_memstream(&text, &size);
      TableOutcome result;
      if (notes == nullptr) {
        result.text = "ringsmooth: " + tableName(c.tables[t]) + ": no memory for its notes\n";
        result.status = EXIT_INPUT_ERROR;
      } else {
        RunSettings settings = tableSettings(c, t);
        const std::string name = tableName(c.tables[t]);
        const RunConsole console{c.verbose ? notes : nullptr, notes, "ringsmooth: " + name + ":",
                                 nullptr, nullptr, 1, &stop};
        result.status = stoppedBy(notes, name, [&] { return runTable(settings, console); });
        std::fclose(notes);
        result.text.assign(text, size);
        std::free(text);
      }
      std::lock_guard<std::mutex> lock(mutex);
      result.done = true;
      outcome[t] = std::move(result);
      doneChanged.notify_all();
    }
  };

  const TerminationSignalsBlocked blocked;
  std::vector<std::thread> threads;
  for (int j = 0; j < jobs && static_cast<std::size_t>(j) < tables; ++j) threads.emplace_back(work);
  Progress progress(c.verbose ? nullptr : err, static_cast<int>(tables));
  const timespec noWait{0, 0};
  int status = EXIT_NORMAL;
  int signal = 0;
  for (std::size_t t = 0; t < tables && signal == 0; ++t) {
    progress.startTable(static_cast<int>(t));
    progress.tableHolds(0);  // the table's series are counted on another thread
    std::unique_lock<std::mutex> lock(mutex);
    while (!outcome[t].done && signal == 0) {
      doneChanged.wait_for(lock, std::chrono::milliseconds(20));
      siginfo_t info;
      const int caught = sigtimedwait(&termination, &info, &noWait);
      if (caught > 0) signal = caught;
    }
    if (signal != 0) break;
    progress.hide();
    std::fwrite(outcome[t].text.data(), 1, outcome[t].text.size(), err);
    if (status == EXIT_NORMAL) status = outcome[t].status;
    outcome[t].text.clear();
  }
  stop = true;
  progress.hide();
  if (signal != 0) {
    removeTemporariesForGood();
    std::fflush(err);
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    std::raise(signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  }
  for (std::thread& thread : threads) thread.join();
  return status;
}

}  // namespace

int runBatch(const CommandLine& c, std::FILE* err) {
  plplot_fonts();
  if (const std::string clash = outputClash(c); !clash.empty()) {
    CommandLine refused = c;
    refused.action = CommandLine::Action::UsageError;
    refused.error = clash;
    return handleCommandLine(refused, stdout, err);
  }
  if (!c.outputDir.empty()) {
    std::error_code failure;
    std::filesystem::create_directories(c.outputDir, failure);
    if (failure) {
      writeErrorReport(err, InputError{"Cannot make the output folder \"" + c.outputDir + "\"",
                                       failure.message()});
      return checkWritten(err, "standard error", EXIT_INPUT_ERROR);
    }
  }
  const sigset_t ending = removeTemporariesOnSignals(terminationSignals());
  const int jobs = c.jobs > 0 ? c.jobs : availableCores();
  const char range = c.settings.plotRangeAnswer;
  const bool plots = range == 'y' || range == 'n';
  const int status = jobs > 1 && c.tables.size() > 1 && !plots
                         ? runTablesSideBySide(c, err, jobs, ending)
                         : runTablesInTurn(c, err, jobs);
  return checkWritten(err, "standard error", checkWritten(stdout, "standard output", status));
}

}  // namespace ringsmooth
