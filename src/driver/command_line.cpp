#include "driver/command_line.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "core/capacities.h"
#include "core/run_error.h"
#include "driver/response.h"
#include "input/missing_flag.h"
#include "input/number_token.h"

namespace ringsmooth {

namespace {

constexpr const char* kProgramName = "ringsmooth";
constexpr int MAX_CUTOFF_PERCENT = 1000;

constexpr const char* kUsage =
    "Usage: ringsmooth                           the dialogue: asks for everything\n"
    "       ringsmooth [OPTION]... TABLE...      a batch run: asks nothing\n"
    "       ringsmooth --cutoff=YEARS --response\n"
    "\n"
    "Smooths annual series (one row per year, one column per series) with a cubic\n"
    "smoothing spline whose 50% frequency response lies at the cutoff period, after\n"
    "extending each series at both ends by linear prediction from a Burg filter.\n"
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
    "                         its length in years, rounded, at least 1\n"
    "  -o, --output=FILE      the output of a single TABLE; - is standard output;\n"
    "                         with two formats the second goes beside FILE\n"
    "  -d, --output-dir=DIR   outputs go to DIR, made when missing; without -o and\n"
    "                         -d each goes beside its TABLE: TABLE.lst, or\n"
    "                         TABLE.spline.csv with -f csv\n"
    "  -f, --format=FORMAT    listing (default): the fixed-width listing, as the\n"
    "                         dialogue writes it; csv: series,year,value,spline,\n"
    "                         residual,index,filled (a year filled with the mean\n"
    "                         has no value, residual or index, and filled 1);\n"
    "                         listing,csv: both; given once\n"
    "      --index=INDEX      ratio (default): value / spline; difference: value -\n"
    "                         spline (the default with -n, which takes no ratio)\n"
    "      --chronology=FILES crn, csv or crn,csv: a site chronology per table, the\n"
    "                         Tukey biweight mean of the series' indices each year\n"
    "                         with its sample depth: STEM.crn (Tucson) and/or\n"
    "                         STEM.chron.csv (year,index,depth) beside the output;\n"
    "                         with -p, one more PDF page\n"
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
    "      --ends=ENDS        predict (default): extend both ends by the Burg filter;\n"
    "                         none: smooth the series as it stands (natural ends)\n"
    "      --response         print the cutoff's parameters and frequency response\n"
    "  -j, --jobs=N           threads computing series and tables side by side;\n"
    "                         default: the cores the process may use\n"
    "  -v, --verbose          the dialogue's console echo, on standard error\n"
    "  -h, --help             show this text and exit\n"
    "  -V, --version          show the version and exit\n"
    "\n"
    "Standard output carries only an output sent there with -o -. Notes and error\n"
    "reports go to standard error and name their table: the years filled with the\n"
    "series mean, the series shorter than the cutoff, the chronology's years. Two\n"
    "tables writing one file, or one writing over another TABLE, are refused\n"
    "before anything is done.\n"
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

enum class Option {
  Cutoff, Output, OutputDir, Format, Columns, Missing, Normalize, Plots, PlotDevice, Ends,
  Response, Verbose, Help, Version, Jobs, InputFormat, Index, Chronology,
};

struct KnownOption {
  char shortName;  // 0: none
  const char* longName;
  bool takesValue;
  Option id;
};

constexpr KnownOption OPTIONS[] = {
    {'c', "cutoff", true, Option::Cutoff},       {'o', "output", true, Option::Output},
    {'d', "output-dir", true, Option::OutputDir}, {'f', "format", true, Option::Format},
    {0, "columns", true, Option::Columns},       {'m', "missing", true, Option::Missing},
    {'n', "normalize", false, Option::Normalize}, {'p', "plots", true, Option::Plots},
    {0, "plot-device", true, Option::PlotDevice}, {0, "ends", true, Option::Ends},
    {0, "response", false, Option::Response},    {'v', "verbose", false, Option::Verbose},
    {'h', "help", false, Option::Help},          {'V', "version", false, Option::Version},
    {'j', "jobs", true, Option::Jobs},           {0, "input-format", true, Option::InputFormat},
    {0, "index", true, Option::Index},           {0, "chronology", true, Option::Chronology},
};

const KnownOption* byLongName(const std::string& name) {
  for (const KnownOption& o : OPTIONS) {
    if (name == o.longName) return &o;
  }
  return nullptr;
}

const KnownOption* byShortName(char name) {
  for (const KnownOption& o : OPTIONS) {
    if (o.shortName != 0 && o.shortName == name) return &o;
  }
  return nullptr;
}

// Reads the arguments one by one into a CommandLine; the first problem found is kept.
class Parser {
 public:
  explicit Parser(CommandLine& c) : c_(c) {}

  void parse(int argc, const char* const* argv) {
    bool onlyTables = false;
    for (int i = 1; i < argc && c_.error.empty(); ++i) {
      const std::string argument = argv[i] != nullptr ? argv[i] : "";
      if (onlyTables || argument.size() < 2 || argument[0] != '-') {
        c_.tables.push_back(argument);
      } else if (argument == "--") {
        onlyTables = true;
      } else if (argument[1] == '-') {
        longOption(argument, argc, argv, i);
      } else {
        shortOptions(argument, argc, argv, i);
      }
    }
    if (c_.error.empty()) decide(argc);
  }

 private:
  void fail(const std::string& message) {
    if (c_.error.empty()) c_.error = message;
  }

  // The value of an option: the rest of its argument, or else the next argument.
  bool valueFor(const std::string& shown, const char* attached, int argc, const char* const* argv,
                int& i, std::string& value) {
    if (attached != nullptr) {
      value = attached;
      return true;
    }
    if (i + 1 >= argc || argv[i + 1] == nullptr) {
      fail("option '" + shown + "' needs a value");
      return false;
    }
    value = argv[++i];
    return true;
  }

  void longOption(const std::string& argument, int argc, const char* const* argv, int& i) {
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(2, equals == std::string::npos ? std::string::npos
                                                                            : equals - 2);
    const KnownOption* option = byLongName(name);
    if (option == nullptr) return fail("unrecognized option '" + argument + "'");
    const std::string shown = "--" + name;
    if (!option->takesValue) {
      if (equals != std::string::npos) return fail("option '" + shown + "' takes no value");
      return apply(*option, shown, "");
    }
    std::string value;
    const char* attached = equals == std::string::npos ? nullptr : argv[i] + equals + 1;
    if (valueFor(shown, attached, argc, argv, i, value)) apply(*option, shown, value);
  }

  void shortOptions(const std::string& argument, int argc, const char* const* argv, int& i) {
    for (std::size_t j = 1; j < argument.size() && c_.error.empty(); ++j) {
      const KnownOption* option = byShortName(argument[j]);
      const std::string shown = std::string("-") + argument[j];
      if (option == nullptr) return fail("unrecognized option '" + shown + "'");
      if (!option->takesValue) {
        apply(*option, shown, "");
        continue;
      }
      std::string value;
      const char* attached = j + 1 < argument.size() ? argv[i] + j + 1 : nullptr;
      if (valueFor(shown, attached, argc, argv, i, value)) apply(*option, shown, value);
      return;
    }
  }

  void badValue(const std::string& option, const std::string& value, const char* expected) {
    fail("option '" + option + "': '" + value + "' is not " + expected);
  }

  // One of a few words: the setting it stands for, or a usage error naming the words.
  template <typename T>
  void pick(const std::string& option, const std::string& value,
            std::initializer_list<std::pair<const char*, T>> words, const char* expected,
            T& setting) {
    if (!pickFrom(value, words, setting)) badValue(option, value, expected);
  }

  // The meaning of `value` among `words`; false when it is none of them.
  template <typename T>
  static bool pickFrom(const std::string& value,
                       std::initializer_list<std::pair<const char*, T>> words, T& setting) {
    for (const auto& [word, meaning] : words) {
      if (value == word) {
        setting = meaning;
        return true;
      }
    }
    return false;
  }

  // A whole number from `lowest` to `highest`, or a usage error saying what was expected.
  void wholeNumber(const std::string& option, const std::string& value, int lowest, int highest,
                   const char* expected, int& setting) {
    int number = 0;
    if (parseWhole(value.data(), value.size(), number) != TokenStatus::Ok || number < lowest ||
        number > highest) {
      return badValue(option, value, expected);
    }
    setting = number;
  }

  // Formats separated by commas, each once, in the order given.
  void formatList(const std::string& option, const std::string& value,
                  std::vector<OutputFormat>& formats) {
    constexpr const char* EXPECTED = "listing, csv or both (listing,csv)";
    formats.clear();
    std::size_t start = 0;
    for (;;) {
      const std::size_t comma = value.find(',', start);
      const std::string word = value.substr(start, comma == std::string::npos ? comma : comma - start);
      OutputFormat format = OutputFormat::Listing;
      if (!pickFrom(word, {{"listing", OutputFormat::Listing}, {"csv", OutputFormat::Csv}}, format) ||
          std::find(formats.begin(), formats.end(), format) != formats.end()) {
        return badValue(option, value, EXPECTED);
      }
      formats.push_back(format);
      if (comma == std::string::npos) return;
      start = comma + 1;
    }
  }

  // The cutoff: years (a whole number of 1 or more), or a percentage of each series' length.
  void cutoff(const std::string& option, const std::string& value) {
    RunSettings& s = c_.settings;
    if (!value.empty() && value.back() == '%') {
      int percent = 0;
      if (parseWhole(value.data(), value.size() - 1, percent) != TokenStatus::Ok || percent < 1 ||
          percent > MAX_CUTOFF_PERCENT) {
        return badValue(option, value, "a percentage from 1% to 1000%");
      }
      s.cutoff = 0;
      s.cutoffPercent = percent;
      return;
    }
    s.cutoffPercent = 0;
    wholeNumber(option, value, 1, INT_MAX, "a whole number of 1 or more", s.cutoff);
  }

  void apply(const KnownOption& option, const std::string& shown, const std::string& value) {
    RunSettings& s = c_.settings;
    switch (option.id) {
      case Option::Cutoff:
        return cutoff(shown, value);
      case Option::Index:
        indexGiven_ = true;
        return pick(shown, value,
                    {{"ratio", IndexKind::Ratio}, {"difference", IndexKind::Difference}},
                    "ratio or difference", s.index);
      case Option::Chronology:
        return pick(shown, value,
                    {{"crn", ChronologyFiles{true, false}}, {"csv", ChronologyFiles{false, true}},
                     {"crn,csv", ChronologyFiles{true, true}},
                     {"csv,crn", ChronologyFiles{true, true}}},
                    "crn, csv or crn,csv", s.chronology);
      case Option::InputFormat: {
        const std::optional<ringsmooth::InputFormat> format = formatNamed(value);
        if (!format) return badValue(shown, value, "table, rwl or crn");
        s.inputFormat = format;
        return;
      }
      case Option::Jobs:
        return wholeNumber(shown, value, 1, INT_MAX, "a whole number of 1 or more", c_.jobs);
      case Option::Columns:
        return wholeNumber(shown, value, 1, MAX_SERIES,
                           ("a whole number from 1 to " + std::to_string(MAX_SERIES)).c_str(),
                           s.columnCount);
      case Option::Missing: {
        // Read as the dialogue reads its answer, so that both take the same flags.
        std::string problem;
        const std::optional<float> flag = missingFlagFromText(value, problem);
        if (!flag) {
          return fail("option '" + shown + "': '" + value + "' is not a missing-value flag: " +
                      problem);
        }
        s.missingFlag = *flag;
        return;
      }
      case Option::Format:
        if (formatGiven_) return fail("option '" + shown + "' is given twice; name the formats "
                                      "in one, as in -f listing,csv");
        formatGiven_ = true;
        return formatList(shown, value, s.formats);
      case Option::Plots:
        return pick(shown, value,
                    {{"none", PlotSpan::None}, {"listed", PlotSpan::Listed},
                     {"widest", PlotSpan::Widest}},
                    "none, listed or widest", s.plotSpan);
      case Option::Ends:
        return pick(shown, value, {{"predict", Ends::Predict}, {"none", Ends::None}},
                    "predict or none", s.ends);
      case Option::PlotDevice:
        if (value.empty()) return badValue(shown, value, "a PLplot device name");
        // PLplot's PNG device is the cairo one; "png" is what people type.
        s.plotDevice = value == "png" ? "pngcairo" : value;
        return;
      case Option::Output:
        if (value.empty()) return badValue(shown, value, "a file name");
        c_.output = value;
        return;
      case Option::OutputDir:
        if (value.empty()) return badValue(shown, value, "a folder name");
        c_.outputDir = value;
        return;
      case Option::Normalize:
        s.scaling = Scaling::Standardize;
        return;
      case Option::Response:
        response_ = true;
        return;
      case Option::Verbose:
        c_.verbose = true;
        return;
      case Option::Help:
        help_ = true;
        return;
      case Option::Version:
        version_ = true;
        return;
    }
  }

  void decide(int argc) {
    if (argc <= 1) {
      c_.action = CommandLine::Action::Dialogue;
      return;
    }
    if (help_) {
      c_.action = CommandLine::Action::Help;
      return;
    }
    if (version_) {
      c_.action = CommandLine::Action::Version;
      return;
    }
    RunSettings& s = c_.settings;
    if (s.cutoff < 1 && s.cutoffPercent == 0) return fail("a batch run needs --cutoff=YEARS");
    if (response_) {
      if (s.cutoffPercent != 0) return fail("--response needs a cutoff in years, not a percentage");
      if (!c_.tables.empty()) return fail("--response takes no TABLE");
      c_.action = CommandLine::Action::Response;
      return;
    }
    if (c_.tables.empty()) return fail("no TABLE given");
    int fromStandardInput = 0;
    for (const std::string& table : c_.tables) {
      if (table.empty()) return fail("a TABLE name is empty");
      if (table == "-") ++fromStandardInput;
    }
    if (fromStandardInput > 1) return fail("standard input (-) can be read only once");
    if (!c_.output.empty() && !c_.outputDir.empty()) return fail("give -o or -d, not both");
    if (!c_.output.empty() && c_.tables.size() > 1) {
      return fail("-o names the output of a single TABLE; use -d for several");
    }
    if (fromStandardInput == 1 && c_.output.empty()) {
      return fail("TABLE - (standard input) needs -o FILE, or -o - for standard output");
    }
    if (s.scaling == Scaling::Standardize) {
      // A ratio of standard normal deviates, which centre on 0, means nothing.
      if (indexGiven_ && s.index == IndexKind::Ratio) {
        return fail("--index=ratio has no meaning with -n (standard normal deviates)");
      }
      s.index = IndexKind::Difference;
    }
    if (s.chronology.any() && fromStandardInput == 1) {
      return fail("--chronology needs a named TABLE: standard input (-) gives no site ID");
    }
    c_.action = CommandLine::Action::Batch;
  }

  CommandLine& c_;
  bool help_ = false;
  bool version_ = false;
  bool response_ = false;
  bool formatGiven_ = false;
  bool indexGiven_ = false;
};

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
  return EXIT_INPUT_ERROR;
}

}  // namespace

const char* usageText() { return usage().c_str(); }

int usageError(const std::string& message, std::FILE* err) {
  std::fprintf(err, "%s: %s\nTry '%s --help' for more information.\n", kProgramName,
               message.c_str(), kProgramName);
  return EXIT_USAGE;
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
  CommandLine c;
  Parser(c).parse(argv == nullptr ? 0 : argc, argv);
  if (!c.error.empty()) c.action = CommandLine::Action::UsageError;
  return c;
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
