#pragma once
// A run: the dialogue's one table, or a batch run's tables, each through the same steps (the
// files, the table, the per-series pipeline for every series in order).
#include <cstdio>

#include "driver/chronology_run.h"
#include "driver/command_line.h"

namespace ringsmooth {

// Runs the dialogue on the given console (answers from consoleIn; prompts, echo and reports on
// consoleOut); returns the exit status (core/run_error.h).
int runDriver(std::FILE* consoleIn, std::FILE* consoleOut);

// Runs a batch run: every table of the command line in order, each read and written whole. A
// table that fails gets its report on `err` and the run goes on with the next; the status is
// that of the first failure, 0 when all succeed. Notes and reports go to `err`, naming the table.
int runBatch(const CommandLine& commandLine, std::FILE* err);

// The chronology files a batch run writes for `table` (empty names for those not asked for):
// every output name of a table that is not its listing or plots comes from here.
ChronologyOutputNames tableChronologyOutputs(const CommandLine& commandLine,
                                             const std::string& table);

}  // namespace ringsmooth
