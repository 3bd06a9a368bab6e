#pragma once
// What the options of a batch run must agree on once they are all read.
#include <string>

#include "driver/command_line.h"

namespace ringsmooth {

// The options given by name, not left at their defaults.
struct GivenOptions {
  bool index;   // --index
  bool ends;    // --ends
  bool length;  // --filter or --predict
};

// Checks the tables and options of a batch run with a cutoff and settles the settings that
// follow from others: -n takes difference indices, a relative cutoff natural ends unless an
// extension is asked for. Returns the usage error, or "" when the run can go.
std::string batchRunProblem(CommandLine& c, const GivenOptions& given);

}  // namespace ringsmooth
