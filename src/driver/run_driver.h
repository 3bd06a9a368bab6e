#pragma once
// The run: the dialogue, the two files, and the per-series pipeline for every series in order.
#include <cstdio>

namespace ringsmooth {

// Runs the whole program on the given console (answers from consoleIn; prompts, echo and
// reports on consoleOut); returns the exit status (core/run_error.h).
int runDriver(std::FILE* consoleIn, std::FILE* consoleOut);

}  // namespace ringsmooth
