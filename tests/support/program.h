#pragma once
// Runs the built program as a user would: in a folder of its own, with scripted console answers,
// chosen environment variables, arguments and redirections.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/scratch_folder.h"

namespace runner {

struct Result {
  int status = -1;      // exit status, or 128 + the signal that ended the program
  std::string console;  // standard output
  std::string errors;   // standard error
};

struct Options {
  std::string answers;                 // written to answers.in, the standard input
  std::string plotDevice = "null";     // RINGSMOOTH_PLOT_DEVICE; "" leaves it unset
  std::vector<std::string> arguments;  // command-line arguments
  std::vector<std::string> environment;  // NAME=value settings added for the run
  std::string standardInput;           // a file (relative to the folder) instead of answers.in
  std::string standardOutput;          // a file instead of console.out (e.g. /dev/full)
  std::string standardError;           // a file instead of console.err (errors then read "")
};

inline std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// The settings that preload `library` into the program (the address sanitizer, when there is
// one, must let the preloaded library come first).
inline std::vector<std::string> preloading(const char* library) {
  const char* sanitizer = std::getenv("ASAN_OPTIONS");
  return {std::string("LD_PRELOAD=") + library,
          std::string("ASAN_OPTIONS=") + (sanitizer ? sanitizer : "") + ":verify_asan_link_order=0"};
}

// Runs the program in `folder` (no X display); standard output goes to console.out and standard
// error to console.err there, and both are read back.
inline Result run(const std::string& folder, const Options& o) {
  writeFile(folder + "/answers.in", o.answers);
  std::string command = "cd " + quoted(folder) + " && env -u DISPLAY";
  if (!o.plotDevice.empty()) command += " RINGSMOOTH_PLOT_DEVICE=" + quoted(o.plotDevice);
  for (const auto& setting : o.environment) command += " " + quoted(setting);
  command += " " + quoted(RINGSMOOTH_BINARY);
  for (const auto& argument : o.arguments) command += " " + quoted(argument);
  command += " < " + quoted(o.standardInput.empty() ? "answers.in" : o.standardInput);
  command += " > " + quoted(o.standardOutput.empty() ? "console.out" : o.standardOutput);
  command += " 2> " + quoted(o.standardError.empty() ? "console.err" : o.standardError);
  std::remove((folder + "/console.out").c_str());
  std::remove((folder + "/console.err").c_str());
  const int raw = std::system(command.c_str());
  Result r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  r.console = readFile(folder + "/console.out");
  r.errors = readFile(folder + "/console.err");
  return r;
}

// The same with answers, a plot device and a standard input of one's choice.
inline Result run(const std::string& folder, const std::string& answers,
                  const std::string& plotDevice = "null", const std::string& standardInput = "") {
  Options o;
  o.answers = answers;
  o.plotDevice = plotDevice;
  o.standardInput = standardInput;
  return run(folder, o);
}

// Starts the program in `folder` with `arguments` on answers.in, console to /dev/null, plots
// off, and returns at once with its process id (for tests that signal it part-way).
inline pid_t start(const std::string& folder, const std::vector<std::string>& arguments = {}) {
  std::vector<const char*> argv = {RINGSMOOTH_BINARY};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (::chdir(folder.c_str()) != 0) ::_exit(120);
  const int in = ::open("answers.in", O_RDONLY);
  const int out = ::open("/dev/null", O_WRONLY);
  if (in < 0 || out < 0) ::_exit(121);
  ::dup2(in, 0);
  ::dup2(out, 1);
  ::dup2(out, 2);
  ::setenv("RINGSMOOTH_PLOT_DEVICE", "null", 1);
  ::execv(RINGSMOOTH_BINARY, const_cast<char* const*>(argv.data()));
  ::_exit(122);
}

// The prompt as the program lays it out: one blank, the text, blanks to column 44, "==> ".
inline std::string prompt(const std::string& text) {
  std::string line = " " + text;
  line.resize(44, ' ');
  return line + "==> ";
}

// The answers of one dialogue, one per line.
inline std::string answers(const std::string& table, const std::string& listing, int columns,
                           const std::string& flag, int cutoff, const std::string& normalize,
                           const std::string& range) {
  return table + "\n" + listing + "\n" + std::to_string(columns) + "\n" + flag + "\n" +
         std::to_string(cutoff) + "\n" + normalize + "\n" + range + "\n";
}

}  // namespace runner
