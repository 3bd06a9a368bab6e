#pragma once
// The run of one table, from opening it to closing its outputs, the dialogue's questions asked
// where the run needs the answers; and how what stops a run becomes its exit status.
#include <atomic>
#include <cstdio>
#include <exception>
#include <new>

#include "core/notes.h"
#include "core/run_error.h"
#include "driver/dialogue.h"
#include "driver/progress.h"
#include "driver/settings.h"

namespace ringsmooth {

// What a batch run's closing line counts of a table.
struct TableTally {
  bool read = false;  // the table was read
  int listed = 0;     // series listed
  int skipped = 0;    // series skipped, by the reader or by the run
};

// Where one table's run writes besides its outputs.
struct TableConsole {
  std::FILE* echo;         // the filter echo and plot range lines; null: not written
  Notes& notes;            // notes and reports, naming the table in a batch run
  Dialogue* dialogue;      // the dialogue's questions, or null in a batch run
  Progress* progress;      // a batch run's display, or null
  int jobs;                // threads computing the table's series
  const std::atomic<bool>* stop;  // set when the run is to stop before its next block, or null
  TableTally* tally = nullptr;    // counted as the table is run, or null
};

// Runs one table; a batch run has every answer in `settings`. Returns the exit status of a run
// that went through: 1 when the reader skipped a series. Throws RunError and SeriesTooLong.
int runTable(RunSettings& settings, const TableConsole& console);

// Runs `body`, which returns the exit status of a run that went through, turning what stops a
// run into its exit status after a report through `notes`.
template <typename Body>
int stoppedBy(Notes& notes, Body body) {
  try {
    return body();
  } catch (const RunError& error) {
    notes.report(error);
    return error.exitStatus();
  } catch (const SeriesTooLong&) {
    return EXIT_TOO_LONG;
  } catch (const std::bad_alloc&) {
    notes.report(InputError{"The run stopped", "Not enough memory"});
    return EXIT_INPUT_ERROR;
  } catch (const std::exception& error) {
    notes.report(InputError{"The run stopped", error.what()});
    return EXIT_INPUT_ERROR;
  }
}

}  // namespace ringsmooth
