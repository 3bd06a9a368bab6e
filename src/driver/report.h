#pragma once
// What the run writes on the console when something stops a series or the run.
#include <cstdio>

#include "core/run_error.h"

namespace ringsmooth {

// An input error report: an empty line, then "? heading", "? message" and, when present,
// "? detail". Control bytes from the input (escape sequences, bells) are shown as '?' so that
// they never act on the user's terminal.
void writeErrorReport(std::FILE* console, const InputError& error);

// The spline's four lines for a series too long for it (the run stops after them).
void writeSplineLengthMessage(std::FILE* console);

// The spline's line for a system it could not solve.
void writeSplineNotSolvedMessage(std::FILE* console);

}  // namespace ringsmooth
