// The command lines that need no run: the usage text, the version, the cutoff's response and
// usage errors.
#include "driver/command_line.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "core/capacities.h"
#include "core/run_error.h"
#include "driver/response.h"

namespace ringsmooth {
namespace {

constexpr const char* kProgramName = "ringsmooth";

constexpr const char* kUsage =
    "Usage: ringsmooth                           the dialogue: asks for everything\n"
    "       ringsmooth [OPTION]... TABLE...      a batch run: asks nothing\n"
    "       ringsmooth --cutoff=YEARS --response\n"
    "\n"
    "Smooths annual series (one row per year, one column per series) with a cubic\n"
    "smoothing spline whose 50% frequency response lies at the cutoff period, after\n"
    "extending each series at both ends by linear prediction from a Burg filter\n"
    "(batch runs with a cutoff in % of each series' length: natural ends).\n"
    "Writes year, value, spline and residual for every series; draws one plot each.\n"
    "\n"
    "Run without arguments, it asks on the console for: the input table (/ to\n"
    "exit), the output listing, the number of columns including the years, the\n"
    "missing-value flag (e.g. -999.00), the 50% frequency response cutoff in years,\n"
    "whether to normalize the data first (y/n), and whether every plot spans the\n"
    "series' widest range (y/n; any other answer draws no plots).\n"
    "\n"
    "Batch runs (TABLE - is standard input):\n"
    "  -c, --cutoff=YEARS     required: the cutoff, a whole number of 1 or more;\n"
    "                         or N% (1% to 1000%): each series' own cutoff, N% of\n"
    "                         its length in years, whole years (floor), at least 1\n"
    "  -o, --output=FILE      the output of a single TABLE; - is standard output;\n"
    "                         with two formats the second goes beside FILE\n"
    "  -d, --output-dir=DIR   outputs go to DIR, made when missing; without -o and\n"
    "                         -d each goes beside its TABLE: TABLE.lst, or\n"
    "                         TABLE.spline.csv with -f csv\n"
    "  -f, --format=FORMAT    listing (default): the fixed-width listing, as the\n"
    "                         dialogue writes it; csv: series,year,value,spline,\n"
    "                         residual,index,filled (value as read; a year filled\n"
    "                         with the mean has no value, residual or index, and\n"
    "                         filled 1); rwi: STEM.rwi.csv, a year column and one\n"
    "                         column per series with its index (alone, the output\n"
    "                         itself); several, as listing,csv,rwi; given once\n"
    "      --index=INDEX      ratio (default): value / spline, or value / the series\n"
    "                         mean where its spline is not above 0; difference:\n"
    "                         value - spline (the default with -n, which takes no\n"
    "                         ratio)\n"
    "      --chronology=FILES crn, csv or crn,csv: a site chronology per table, the\n"
    "                         Tukey biweight mean of the series' indices each year\n"
    "                         with its sample depth: STEM.crn (Tucson) and/or\n"
    "                         STEM.chron.csv (year,std,res,depth: res is the\n"
    "                         residual chronology, each series' indices less what\n"
    "                         an AR model of them predicts) beside the output; with\n"
    "                         -p, two more PDF pages\n"
    "      --stats            for a table of two series or more, STEM.stats.csv:\n"
    "                         first,last,series,pairs,rbar,eps,snr for all years,\n"
    "                         then for each running window; and for every table\n"
    "                         STEM.series.csv: series,first,last,years,mean,median,\n"
    "                         stdev,skew,kurtosis,gini,ar1 of the values as read\n"
    "      --window=YEARS     the running windows' years (3 or more; default 50),\n"
    "                         advancing by half of them\n"
    "      --columns=N        the columns including years; default: as many as the\n"
    "                         names in the table's first line\n"
    "  -m, --missing=FLAG     the missing-value flag; default -999\n"
    "      --input-format=F   table, rwl or crn; default: by the name (.rwl and .crn\n"
    "                         are Tucson ring-width and chronology files)\n"
    "  -n, --normalize        standard normal deviates (the dialogue's y)\n"
    "  -p, --plots=WHICH      none (default), listed (the listed years), widest (the\n"
    "                         series' widest span)\n"
    "      --plot-device=DEV  a PLplot device; default pdf: one PDF per table, a page\n"
    "                         per series (png, svg: a file per series; xwin: windows)\n"
    "      --ends=ENDS        predict: extend both ends by the Burg filter (the\n"
    "                         default with a cutoff in years); none: smooth each\n"
    "                         series as it stands, with natural ends (the default\n"
    "                         with a cutoff in %, unless --filter or --predict)\n"
    "      --filter=ORDER     the Burg filter's coefficients: N, N% of each\n"
    "                         series' length, or auto: the order of least AIC on\n"
    "                         the series, at most 10 log10 n; default: the cutoff\n"
    "      --predict=YEARS    years predicted at each end: N, or N% of each\n"
    "                         series' length; default: the cutoff\n"
    "      --response         print the cutoff's parameters and frequency response\n"
    "  -j, --jobs=N           threads computing series and tables side by side;\n"
    "                         default: the cores the process may use\n"
    "  -v, --verbose          the dialogue's console echo, and every note as it\n"
    "                         comes, on standard error\n"
    "  -h, --help             show this text and exit\n"
    "  -V, --version          show the version and exit\n"
    "\n"
    "Standard output carries only an output sent there with -o -. Notes and error\n"
    "reports go to standard error and name their table: the years filled with the\n"
    "series mean, the series shorter than the cutoff, the chronology's years, the\n"
    "signal's rbar, EPS and SNR; one line per kind of note, counting them, then\n"
    "the table's error reports; a run of several tables ends with a line saying\n"
    "what it did. Two outputs that are one file, or one writing over a TABLE, are\n"
    "refused before anything is done; a cutoff too long for a series of a table\n"
    "fails that table before any of its outputs is made.\n"
    "\n"
    "Every output file is written under a temporary name (.NAME.XXXXXX) beside it\n"
    "and renamed over NAME only when whole: a failed or interrupted run leaves the\n"
    "earlier file as it was. Pipes and devices are written as the run goes.\n"
    "\n"
    "Environment:\n"
    "  RINGSMOOTH_PLOT_DEVICE  PLplot device for the dialogue's plots (xwin,\n"
    "                          pngcairo, svg, null, ...); default xwin with an X\n"
    "                          display, else pngcairo files <listing>-<n>.png\n"
    "  RINGSMOOTH_JOBS         threads for the dialogue's run (as -j)\n"
    "\n"
    "Exit status: 0 normal end, 1 input or file error (or a Tucson series skipped\n"
    "for a fault of its own), 2 usage error (or clashing outputs), 3 a series too\n"
    "long for the spline (over MAX_YEARS values once extended). A batch run goes\n"
    "on after a table that fails and ends with the status of the first failure.\n"
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

// Writes `text` to `out` and makes sure it left the buffer; 0 on success, 1 after a note on
// `err` when it did not.
int writeAll(std::FILE* out, std::FILE* err, const std::string& text) {
  errno = 0;
  const bool written = std::fputs(text.c_str(), out) >= 0;
  const bool flushed = std::fflush(out) == 0;
  if (written && flushed && !std::ferror(out)) {
    return EXIT_NORMAL;
  }
  const int cause = errno;
  std::fprintf(err, "%s: write error: %s\n", kProgramName,
               cause != 0 ? std::strerror(cause) : "output stream failed");
  return EXIT_OUTPUT_ERROR;
}

}  // namespace

const char* usageText() { return usage().c_str(); }

int usageError(const std::string& message, std::FILE* err) {
  std::fprintf(err, "%s: %s\nTry '%s --help' for more information.\n", kProgramName,
               message.c_str(), kProgramName);
  return EXIT_USAGE;
}

int handleCommandLine(const CommandLine& c, std::FILE* out, std::FILE* err) {
  switch (c.action) {
    case CommandLine::Action::Help:
      return writeAll(out, err, usage());
    case CommandLine::Action::Version:
      return writeAll(out, err, "ringsmooth " RINGSMOOTH_VERSION "\n");
    case CommandLine::Action::Response:
      return writeAll(out, err, responseText(c.settings.cutoff));
    case CommandLine::Action::UsageError:
      return usageError(c.error, err);
    case CommandLine::Action::Dialogue:
    case CommandLine::Action::Batch:
      break;
  }
  return -1;
}

int handleCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err) {
  return handleCommandLine(parseCommandLine(argc, argv), out, err);
}

}  // namespace ringsmooth
