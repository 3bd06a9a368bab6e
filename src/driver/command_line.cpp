#include "driver/command_line.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "core/capacities.h"
#include "core/run_error.h"

namespace ringsmooth {

namespace {

constexpr const char* kProgramName = "ringsmooth";

constexpr const char* kUsage =
    "Usage: ringsmooth\n"
    "       ringsmooth --help | --version\n"
    "\n"
    "Smooths annual series (one row per year, one column per series) with a cubic\n"
    "smoothing spline whose 50% frequency response lies at the cutoff period you\n"
    "give, after extending each series at both ends by linear prediction. Writes a\n"
    "listing of year, unfiltered value, spline and residual for every series and\n"
    "draws one plot per series.\n"
    "\n"
    "Run without arguments, it asks on the console for: the input table (/ to\n"
    "exit), the output listing, the number of columns including the years, the\n"
    "missing-value flag (e.g. -999.00), the 50% frequency response cutoff in years,\n"
    "whether to normalize the data first (y/n), and whether every plot spans the\n"
    "series' widest range (y/n; any other answer draws no plots).\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this text and exit\n"
    "  -V, --version  show the version and exit\n"
    "\n"
    "Environment:\n"
    "  RINGSMOOTH_PLOT_DEVICE  PLplot device for the plots (xwin, pngcairo, svg,\n"
    "                          null, ...); default xwin with an X display, else\n"
    "                          pngcairo files <listing>-<series number>.png\n"
    "                          beside the listing\n"
    "\n"
    "Exit status: 0 normal end, 1 input or file error, 2 usage error, 3 a series\n"
    "too long for the spline (over MAX_YEARS values once extended).\n"
    "See ringsmooth(1) for the table format and the listing layout.\n";

// The usage text with the capacity written in.
const std::string& usage() {
  static const std::string text = [] {
    std::string t = kUsage;
    const std::string placeholder = "MAX_YEARS";
    t.replace(t.find(placeholder), placeholder.size(), std::to_string(MAX_YEARS));
    return t;
  }();
  return text;
}

enum class Request { unknown, help, version };

Request classify(const char* argument) {
  if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
    return Request::help;
  }
  if (std::strcmp(argument, "--version") == 0 || std::strcmp(argument, "-V") == 0) {
    return Request::version;
  }
  return Request::unknown;
}

void reportUsageError(std::FILE* err, const char* argument) {
  const bool looksLikeOption = argument[0] == '-' && argument[1] != '\0';
  std::fprintf(err, "%s: %s '%s'\n", kProgramName,
               looksLikeOption ? "unrecognized option" : "unexpected argument", argument);
  std::fprintf(err,
               "%s takes no arguments: run it without any and answer its questions.\n"
               "Try '%s --help' for more information.\n",
               kProgramName, kProgramName);
}

// Writes `text` to `out` and makes sure it left the buffer; 0 on success, 1 after a note on
// `err` when it did not.
int writeAll(std::FILE* out, std::FILE* err, const char* text) {
  errno = 0;
  const bool written = std::fputs(text, out) >= 0;
  const bool flushed = std::fflush(out) == 0;
  if (written && flushed && !std::ferror(out)) {
    return 0;
  }
  const int cause = errno;
  std::fprintf(err, "%s: write error: %s\n", kProgramName,
               cause != 0 ? std::strerror(cause) : "output stream failed");
  return 1;
}

}  // namespace

const char* usageText() { return usage().c_str(); }

int handleCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err) {
  if (argc <= 1 || argv == nullptr) {
    return -1;
  }
  bool wantsHelp = false;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i] != nullptr ? argv[i] : "";
    switch (classify(argument)) {
      case Request::help:
        wantsHelp = true;
        break;
      case Request::version:
        break;
      case Request::unknown:
        reportUsageError(err, argument);
        return EXIT_USAGE;
    }
  }
  if (wantsHelp) {
    return writeAll(out, err, usageText());
  }
  return writeAll(out, err, "ringsmooth " RINGSMOOTH_VERSION "\n");
}

}  // namespace ringsmooth
