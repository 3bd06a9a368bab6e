#pragma once
// The program's command line: the dialogue takes no arguments, so the only things a command line
// can ask for are the usage text and the version.
#include <cstdio>

namespace ringsmooth {

// Looks at the program's arguments before anything else runs.
// Returns -1 when there are none (argc <= 1): the caller goes on with the dialogue.
// Returns 0 after writing the usage text (--help, -h) or "ringsmooth <version>" (--version, -V)
// to `out`; with both asked for, the usage text wins. Returns 2 after writing a usage error
// (an unknown option or any other argument) to `err`, with nothing written to `out`.
// Returns 1 when the text for `out` could not be written (a full disk, a closed pipe), after a
// note on `err`, so that a lost help text is not reported as success.
int handleCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err);

// The usage text that --help writes, for tests and documentation checks.
const char* usageText();

}  // namespace ringsmooth
