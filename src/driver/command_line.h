#pragma once
// The program's command line. Run bare, the program asks its questions at the console; with
// options or table names it is a batch run that asks nothing. GNU conventions: long options as
// --name=value or --name value, short ones bundled (-nv, -c30, -c 30), "--" ends the options, and
// options and table names may come in any order.
#include <cstdio>
#include <string>
#include <vector>

#include "driver/settings.h"

namespace ringsmooth {

struct CommandLine {
  enum class Action { Dialogue, Help, Version, Response, Batch, UsageError };
  Action action = Action::Dialogue;
  RunSettings settings;             // what every table of a batch run shares
  std::vector<std::string> tables;  // in the order given; "-" is standard input
  std::string output;               // -o: the output of the single table; "-" standard output
  std::string outputDir;            // -d: the folder outputs go to
  bool verbose = false;             // the dialogue's console echo, on standard error
  int jobs = 0;                     // -j: threads; 0: as many as the cores the process may use
  std::string error;                // for UsageError: what is wrong, one line (usageError)
};

// Reads the arguments; never touches a file. A batch run gets everything it needs checked here:
// a cutoff, valid values, and outputs that can be named.
CommandLine parseCommandLine(int argc, const char* const* argv);

// Handles the command lines that need no run: the usage text (--help), the version, a usage
// error (a one-line message and a pointer to --help on `err`, status 2) and the cutoff's
// frequency response (--response). Returns the exit status, or -1 when a run follows (the
// dialogue or a batch run). A text for `out` that could not be written gives status 1 after a
// note on `err`, so that a lost help text is not reported as success.
int handleCommandLine(const CommandLine& commandLine, std::FILE* out, std::FILE* err);

// The same from the raw arguments.
int handleCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err);

// A usage error: "ringsmooth: MESSAGE" and a pointer to --help on `err`. Returns the exit
// status, 2.
int usageError(const std::string& message, std::FILE* err);

// The usage text that --help writes.
const char* usageText();

}  // namespace ringsmooth
