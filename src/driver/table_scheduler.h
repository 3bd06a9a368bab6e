#pragma once
// A batch run's tables: one after another, or whole tables side by side on several threads.
#include <csignal>
#include <cstdio>

#include "driver/command_line.h"

namespace ringsmooth {

// One table after another, each table's series computed by `jobs` threads. Returns the status
// of the first table that failed, 0 when none did.
int runTablesInTurn(const CommandLine& commandLine, std::FILE* err, int jobs);

// Whole tables on `jobs` threads at once, for batch runs of many tables without plots (PLplot
// draws on one thread only). Each table's notes and reports are kept until every table before
// it is done, then written in table order, so standard error reads as in a run in turn.
// Every thread blocks the termination signals; the calling thread looks for `termination`
// while it waits, and on one removes every temporary file (no table's output is put in place
// after that), then ends the process by that signal without waiting for the tables still
// running: one may be waiting for its input.
int runTablesSideBySide(const CommandLine& commandLine, std::FILE* err, int jobs,
                        const sigset_t& termination);

}  // namespace ringsmooth
