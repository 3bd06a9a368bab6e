#pragma once
// Runs the built program in a scratch folder with scripted console answers.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace runner {

struct Result {
  int status = -1;
  std::string console;  // standard output
  std::string errors;   // standard error
};

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// A fresh folder under the system's temporary folder.
inline std::string scratchFolder() {
  std::string pattern = "/tmp/ringsmooth-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  return pattern;
}

// Runs the program in `folder` with `answers` on standard input; plots go to `plotDevice`.
inline Result run(const std::string& folder, const std::string& answers,
                  const std::string& plotDevice = "null", const std::string& stdinRedirect = "") {
  writeFile(folder + "/answers.in", answers);
  const std::string input = stdinRedirect.empty() ? "answers.in" : stdinRedirect;
  const std::string command = "cd '" + folder + "' && env -u DISPLAY RINGSMOOTH_PLOT_DEVICE=" +
                              plotDevice + " '" RINGSMOOTH_BINARY "' < " + input +
                              " > console.out 2> console.err";
  const int raw = std::system(command.c_str());
  Result r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  r.console = readFile(folder + "/console.out");
  r.errors = readFile(folder + "/console.err");
  return r;
}

// The prompt as the program lays it out: one blank, the text, blanks to column 44, "==> ".
inline std::string prompt(const std::string& text) {
  std::string line = " " + text;
  line.resize(44, ' ');
  return line + "==> ";
}

}  // namespace runner
