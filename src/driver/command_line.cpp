#include "driver/command_line.h"

#include <algorithm>
#include <climits>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "core/capacities.h"
#include "core/run_error.h"
#include "driver/batch_checks.h"
#include "driver/option_values.h"

namespace ringsmooth {

namespace {

enum class Option {
  Cutoff, Output, OutputDir, Format, Columns, Missing, Normalize, Plots, PlotDevice, Ends,
  Filter, Predict, Response, Verbose, Help, Version, Jobs, InputFormat, Index, Chronology,
  Stats, Window,
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
    {0, "filter", true, Option::Filter},          {0, "predict", true, Option::Predict},
    {0, "index", true, Option::Index},           {0, "chronology", true, Option::Chronology},
    {0, "stats", false, Option::Stats},          {0, "window", true, Option::Window},
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

  void badValue(const std::string& option, const std::string& value, const std::string& expected) {
    fail("option '" + option + "': '" + value + "' is not " + expected);
  }

  // A value read by one of option_values.h: a usage error unless it was what was expected.
  void check(const std::string& option, const std::string& value, const std::string& expected) {
    if (!expected.empty()) badValue(option, value, expected);
  }

  // A name that can't be empty (a file, a folder, a device), or a usage error.
  void named(const std::string& option, const std::string& value, const char* expected,
             std::string& setting) {
    if (value.empty()) return badValue(option, value, expected);
    setting = value;
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

  void apply(const KnownOption& option, const std::string& shown, const std::string& value) {
    switch (option.id) {
      case Option::Jobs:
        return check(shown, value, readWholeNumber(value, 1, INT_MAX, c_.jobs));
      case Option::Output:
        return named(shown, value, "a file name", c_.output);
      case Option::OutputDir:
        return named(shown, value, "a folder name", c_.outputDir);
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
      default:
        return applySetting(option, shown, value);
    }
  }

  // The options that answer the dialogue's questions on reading and smoothing, and more of
  // their kind.
  void applySetting(const KnownOption& option, const std::string& shown,
                    const std::string& value) {
    RunSettings& s = c_.settings;
    switch (option.id) {
      case Option::Cutoff:
        return check(shown, value, readCutoff(value, s.cutoff, s.cutoffPercent));
      case Option::InputFormat:
        s.inputFormat = formatNamed(value);
        if (!s.inputFormat) badValue(shown, value, "table, rwl or crn");
        return;
      case Option::Columns:
        return check(shown, value, readWholeNumber(value, 1, MAX_SERIES, s.columnCount));
      case Option::Missing:
        if (const std::string problem = readMissingFlag(value, s.missingFlag); !problem.empty()) {
          fail("option '" + shown + "': '" + value + "' is not a missing-value flag: " + problem);
        }
        return;
      case Option::Normalize:
        s.scaling = Scaling::Standardize;
        return;
      case Option::Ends:
        endsGiven_ = true;
        return pick(shown, value, {{"predict", Ends::Predict}, {"none", Ends::None}},
                    "predict or none", s.ends);
      case Option::Filter:
        lengthGiven_ = true;
        return check(shown, value, readEndLength(value, true, s.filter));
      case Option::Predict:
        lengthGiven_ = true;
        return check(shown, value, readEndLength(value, false, s.predict));
      default:
        return applyOutputSetting(option, shown, value);
    }
  }

  // The options on what a run writes: formats, indices, chronologies, statistics, plots.
  void applyOutputSetting(const KnownOption& option, const std::string& shown,
                          const std::string& value) {
    RunSettings& s = c_.settings;
    switch (option.id) {
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
      case Option::Format:
        if (formatGiven_) return fail("option '" + shown + "' is given twice; name the formats "
                                      "in one, as in -f listing,csv");
        formatGiven_ = true;
        return check(shown, value, readFormats(value, s.formats, s.indexTable));
      case Option::Plots:
        return pick(shown, value,
                    {{"none", PlotSpan::None}, {"listed", PlotSpan::Listed},
                     {"widest", PlotSpan::Widest}},
                    "none, listed or widest", s.plotSpan);
      case Option::PlotDevice:
        // PLplot's PNG device is the cairo one; "png" is what people type.
        return named(shown, value == "png" ? "pngcairo" : value, "a PLplot device name",
                     s.plotDevice);
      case Option::Stats:
        s.stats = true;
        return;
      case Option::Window:
        return check(shown, value, readWholeNumber(value, 3, MAX_YEARS, s.window));
      default:  // the run's own options (apply)
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
    const std::string problem =
        batchRunProblem(c_, GivenOptions{indexGiven_, endsGiven_, lengthGiven_});
    if (!problem.empty()) return fail(problem);
    c_.action = CommandLine::Action::Batch;
  }

  CommandLine& c_;
  bool help_ = false;
  bool version_ = false;
  bool response_ = false;
  bool formatGiven_ = false;
  bool indexGiven_ = false;
  bool endsGiven_ = false;
  bool lengthGiven_ = false;  // --filter or --predict
};

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
  CommandLine c;
  Parser(c).parse(argv == nullptr ? 0 : argc, argv);
  if (!c.error.empty()) c.action = CommandLine::Action::UsageError;
  return c;
}

}  // namespace ringsmooth
