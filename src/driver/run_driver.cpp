// The two ways into a run: the dialogue and a batch run.
#include "driver/run_driver.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/notes.h"
#include "core/run_error.h"
#include "core/termination_signals.h"
#include "driver/dialogue.h"
#include "driver/jobs.h"
#include "driver/output_names.h"
#include "driver/table_run.h"
#include "driver/table_scheduler.h"
#include "input/free_form.h"
#include "output/output_error.h"
#include "output/replaced_file.h"
#include "plot/plplot_fonts.h"

namespace ringsmooth {
namespace {

// A stream that could not take what the run wrote (a full disk, a closed pipe) must not end in
// a reported success: whoever reads it has not seen what the run said.
int checkWritten(std::FILE* stream, const char* what, int status) {
  if (std::fflush(stream) == 0 && !std::ferror(stream)) return status;
  const int cause = errno;
  Notes(stderr).programNote(std::string("writing to ") + what + " failed: " +
                            std::strerror(cause));
  return status == EXIT_NORMAL ? EXIT_OUTPUT_ERROR : status;
}

}  // namespace

int runDriver(std::FILE* consoleIn, std::FILE* consoleOut) {
  plplot_fonts();
  removeTemporariesOnSignals(terminationSignals());
  bool jobsValid = true;
  const int jobs = jobsFromEnvironment(jobsValid);
  if (!jobsValid) {
    Notes(stderr).programNote("RINGSMOOTH_JOBS is not a whole number of 1 or more; using " +
                              std::to_string(jobs));
  }
  Notes notes(consoleOut);
  const int status = stoppedBy(notes, [&] {
    FreeFormReader console(consoleIn, FreeFormReader::Kind::Console);
    Dialogue dialogue(console, consoleOut);
    RunSettings settings;
    if (!dialogue.askInputFile(settings)) return EXIT_NORMAL;
    return runTable(settings, TableConsole{consoleOut, notes, &dialogue, nullptr, jobs, nullptr});
  });
  return checkWritten(consoleOut, "the console", status);
}

int runBatch(const CommandLine& c, std::FILE* err) {
  plplot_fonts();
  if (const std::string clash = outputClash(c); !clash.empty()) return usageError(clash, err);
  if (!c.outputDir.empty()) {
    std::error_code failure;
    std::filesystem::create_directories(c.outputDir, failure);
    if (failure) {
      Notes(err).report(OutputError{"Cannot make the output folder \"" + c.outputDir + "\"",
                                    failure.message()});
      return checkWritten(err, "standard error", EXIT_OUTPUT_ERROR);
    }
  }
  const sigset_t ending = removeTemporariesOnSignals(terminationSignals());
  const int jobs = c.jobs > 0 ? c.jobs : availableCores();
  const bool plots = c.settings.plotSpan != PlotSpan::None;
  const int status = jobs > 1 && c.tables.size() > 1 && !plots
                         ? runTablesSideBySide(c, err, jobs, ending)
                         : runTablesInTurn(c, err, jobs);
  return checkWritten(err, "standard error", checkWritten(stdout, "standard output", status));
}

}  // namespace ringsmooth
