// handleCommandLine: what each command line returns and which stream gets what.
#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The version as the project declares it, read from the top-level CMakeLists.txt.
std::string declaredVersion() {
  std::ifstream file(std::string(RINGSMOOTH_SOURCE_DIR) + "/CMakeLists.txt");
  std::stringstream text;
  text << file.rdbuf();
  const std::string content = text.str();
  const std::string marker = "project(ringsmooth VERSION ";
  const std::size_t at = content.find(marker);
  if (at == std::string::npos) return "<no version in CMakeLists.txt>";
  const std::size_t start = at + marker.size();
  const std::size_t end = content.find_first_not_of("0123456789.", start);
  return content.substr(start, end - start);
}

std::string contentsOf(std::FILE* stream) {
  std::fflush(stream);
  std::rewind(stream);
  std::string text;
  char buffer[512];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
    text.append(buffer, got);
  }
  return text;
}

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome run(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "ringsmooth");
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  EXPECT_NE(out, nullptr);
  EXPECT_NE(err, nullptr);
  Outcome outcome;
  outcome.status =
      ringsmooth::handleCommandLine(static_cast<int>(arguments.size()), argv.data(), out, err);
  outcome.out = contentsOf(out);
  outcome.err = contentsOf(err);
  std::fclose(out);
  std::fclose(err);
  return outcome;
}

TEST(CommandLine, NoArgumentsGoesOnToTheDialogueSilently) {
  const Outcome o = run({});
  EXPECT_EQ(o.status, -1);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "");
}

TEST(CommandLine, HelpAndVersionPrintOnStandardOutputAndSucceed) {
  const struct {
    std::vector<std::string> arguments;
    bool usage;  // else the version
  } cases[] = {
      {{"--help"}, true},         {{"-h"}, true},
      {{"--version"}, false},     {{"-V"}, false},
      {{"--help", "--version"}, true}, {{"--version", "--help"}, true},
      {{"-Vh"}, true},            {{"--version", "--verbose"}, false},
      {{"--help", "table.txt"}, true},
  };
  for (const auto& c : cases) {
    const Outcome o = run(c.arguments);
    SCOPED_TRACE(c.arguments.front());
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
    if (c.usage) {
      EXPECT_EQ(o.out.rfind("Usage: ringsmooth ", 0), 0u) << o.out;
    } else {
      EXPECT_EQ(o.out, "ringsmooth " + declaredVersion() + "\n");
    }
  }
}

// Everything a batch run is given, however it is written.
TEST(CommandLine, BatchOptionsInEveryForm) {
  using ringsmooth::CommandLine;
  using ringsmooth::Ends;
  using ringsmooth::OutputFormat;
  using ringsmooth::PlotSpan;
  using ringsmooth::Scaling;
  const struct {
    std::vector<std::string> arguments;
    int cutoff, columns;
    float flag;
    ringsmooth::Scaling scaling;
    ringsmooth::PlotSpan span;
    std::vector<OutputFormat> formats;
    Ends ends;
    std::string output, dir, device;
    bool verbose;
    std::vector<std::string> tables;
  } cases[] = {
      {{"-c", "30", "t.txt"}, 30, 0, -999.0f, Scaling::Centre, PlotSpan::None, {OutputFormat::Listing}, Ends::Predict, "",
       "", "", false, {"t.txt"}},
      {{"t.txt", "--cutoff=7", "u.txt"}, 7, 0, -999.0f, Scaling::Centre, PlotSpan::None, {OutputFormat::Listing},
       Ends::Predict, "", "", "", false, {"t.txt", "u.txt"}},
      {{"-c30", "-nv", "-m", "-99.99", "-fcsv", "-p", "widest", "-o", "-", "-"}, 30, 0, -99.99f,
       Scaling::Standardize, PlotSpan::Widest, {OutputFormat::Csv}, Ends::Predict, "-", "", "", true, {"-"}},
      {{"--cutoff", "5", "--columns", "12", "--missing=NaN", "--plots=listed",
        "--plot-device=svg", "--ends=none", "--format", "listing", "-d", "out", "a", "b"},
       5, 12, NAN, Scaling::Centre, PlotSpan::Listed, {OutputFormat::Listing}, Ends::None, "", "out", "svg", false,
       {"a", "b"}},
      {{"-c", "3", "--", "-n", "--odd"}, 3, 0, -999.0f, Scaling::Centre, PlotSpan::None, {OutputFormat::Listing},
       Ends::Predict, "", "", "", false, {"-n", "--odd"}},
      {{"-p", "none", "-c", "2", "-c", "4", "x"}, 4, 0, -999.0f, Scaling::Centre, PlotSpan::None, {OutputFormat::Listing},
       Ends::Predict, "", "", "", false, {"x"}},
      {{"-c", "4", "-f", "csv,listing", "x"}, 4, 0, -999.0f, Scaling::Centre, PlotSpan::None,
       {OutputFormat::Csv, OutputFormat::Listing}, Ends::Predict, "", "", "", false, {"x"}},
      {{"-c", "4", "--format=listing,csv", "x"}, 4, 0, -999.0f, Scaling::Centre, PlotSpan::None,
       {OutputFormat::Listing, OutputFormat::Csv}, Ends::Predict, "", "", "", false, {"x"}},
      {{"-c", "4", "--plot-device", "png", "x"}, 4, 0, -999.0f, Scaling::Centre, PlotSpan::None, {OutputFormat::Listing},
       Ends::Predict, "", "", "pngcairo", false, {"x"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> words = c.arguments;
    words.insert(words.begin(), "ringsmooth");
    std::vector<const char*> argv;
    for (const auto& w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);
    const CommandLine l = ringsmooth::parseCommandLine(static_cast<int>(words.size()), argv.data());
    SCOPED_TRACE(words[1] + " " + words[2]);
    ASSERT_EQ(l.action, CommandLine::Action::Batch) << l.error;
    EXPECT_EQ(l.settings.cutoff, c.cutoff);
    EXPECT_EQ(l.settings.columnCount, c.columns);
    EXPECT_TRUE(l.settings.missingFlag == c.flag ||
                (std::isnan(l.settings.missingFlag) && std::isnan(c.flag)));
    EXPECT_EQ(l.settings.scaling, c.scaling);
    EXPECT_EQ(l.settings.plotSpan, c.span);
    EXPECT_EQ(l.settings.formats, c.formats);
    EXPECT_EQ(l.settings.ends, c.ends);
    EXPECT_EQ(l.output, c.output);
    EXPECT_EQ(l.outputDir, c.dir);
    EXPECT_EQ(l.settings.plotDevice, c.device);
    EXPECT_EQ(l.verbose, c.verbose);
    EXPECT_EQ(l.tables, c.tables);
  }
}

// The index, a cutoff relative to length and the ends, as the batch run gets them (the
// chronology's files are checked by the names of the files a run makes). A relative cutoff
// smooths with natural ends unless the ends, a filter or a prediction are asked for.
TEST(CommandLine, IndexCutoffPercentAndEnds) {
  using ringsmooth::EndLength;
  using ringsmooth::Ends;
  using ringsmooth::IndexKind;
  using Kind = EndLength::Kind;
  const struct {
    std::vector<std::string> arguments;
    int cutoff, percent;
    IndexKind index;
    Ends ends;
    EndLength filter, predict;
  } cases[] = {
      {{"-c", "67%", "t"}, 0, 67, IndexKind::Ratio, Ends::None, {}, {}},
      {{"-c1000%", "-c", "1%", "t"}, 0, 1, IndexKind::Ratio, Ends::None, {}, {}},
      {{"-c", "5%", "-c", "40", "t"}, 40, 0, IndexKind::Ratio, Ends::Predict, {}, {}},
      {{"-c", "9", "-n", "t"}, 9, 0, IndexKind::Difference, Ends::Predict, {}, {}},
      {{"-c", "9", "--index", "difference", "t"}, 9, 0, IndexKind::Difference, Ends::Predict, {},
       {}},
      {{"-c", "67%", "--ends=predict", "t"}, 0, 67, IndexKind::Ratio, Ends::Predict, {}, {}},
      {{"-c", "67%", "--filter=auto", "t"}, 0, 67, IndexKind::Ratio, Ends::Predict,
       {Kind::Auto, 0}, {}},
      {{"-c", "67%", "--predict", "10", "t"}, 0, 67, IndexKind::Ratio, Ends::Predict, {},
       {Kind::Years, 10}},
      {{"-c", "30", "--filter=12%", "--predict=1000%", "t"}, 30, 0, IndexKind::Ratio,
       Ends::Predict, {Kind::Percent, 12}, {Kind::Percent, 1000}},
      {{"--filter=3", "--filter=auto", "-c", "30", "--filter", "7", "t"}, 30, 0,
       IndexKind::Ratio, Ends::Predict, {Kind::Years, 7}, {}},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = {"ringsmooth"};
    for (const auto& w : c.arguments) argv.push_back(w.c_str());
    const auto l = ringsmooth::parseCommandLine(static_cast<int>(argv.size()), argv.data());
    SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1] + " " + c.arguments[2]);
    ASSERT_EQ(l.action, ringsmooth::CommandLine::Action::Batch) << l.error;
    EXPECT_EQ(l.settings.cutoff, c.cutoff);
    EXPECT_EQ(l.settings.cutoffPercent, c.percent);
    EXPECT_EQ(l.settings.index, c.index);
    EXPECT_EQ(l.settings.ends, c.ends);
    EXPECT_EQ(l.settings.filter, c.filter);
    EXPECT_EQ(l.settings.predict, c.predict);
  }
}

struct Refused {
  std::vector<std::string> arguments;
  std::string message;  // what the one line must say
};

// A usage error: one line naming the problem and the pointer to --help on standard error,
// nothing on standard output, status 2, before anything is read or written.
TEST(CommandLine, UsageErrorsSayWhatIsWrongOnStandardErrorOnly) {
  const Refused cases[] = {
      {{"--bogus"}, "unrecognized option '--bogus'"},
      {{"-x"}, "unrecognized option '-x'"},
      {{"--HELP"}, "unrecognized option '--HELP'"},
      {{"--vers"}, "unrecognized option '--vers'"},
      {{"--help=all"}, "option '--help' takes no value"},
      {{"input.txt"}, "a batch run needs --cutoff=YEARS"},
      {{"-"}, "a batch run needs --cutoff=YEARS"},
      {{"-c", "0", "t"}, "option '-c': '0' is not a whole number of 1 or more"},
      {{"--cutoff=abc", "t"}, "option '--cutoff': 'abc' is not a whole number of 1 or more"},
      {{"-c", "2.5", "t"}, "'2.5' is not a whole number of 1 or more\n"},
      {{"-c", "0.67", "t"}, "'0.67' is not a whole number of 1 or more; did you mean 67%?\n"},
      {{"--cutoff=.005", "t"}, "; did you mean 1%?\n"},
      {{"-c"}, "option '-c' needs a value"},
      {{"t", "--cutoff"}, "option '--cutoff' needs a value"},
      {{"-c", "5"}, "no TABLE given"},
      {{"-c", "5", ""}, "a TABLE name is empty"},
      {{"-c", "5", "-f", "xml", "t"}, "'xml' is not listing, csv, rwi or several of them"},
      {{"-c", "5", "-f", "csv,csv", "t"}, "'csv,csv' is not listing, csv, rwi"},
      {{"-c", "5", "-f", "listing,", "t"}, "'listing,' is not listing, csv, rwi"},
      {{"-c", "5", "-f", "rwi,rwi", "t"}, "'rwi,rwi' is not listing, csv, rwi"},
      {{"-c", "5", "--window=2", "t"}, "'2' is not a whole number from 3 to 10000"},
      {{"-c", "5", "-f", "csv", "-f", "listing", "t"}, "option '-f' is given twice"},
      {{"-c", "5", "--format=csv", "-fcsv", "t"}, "option '-f' is given twice"},
      {{"-c", "5", "--columns", "0", "t"}, "'0' is not a whole number from 1 to 700"},
      {{"-c", "5", "--columns=701", "t"}, "'701' is not a whole number from 1 to 700"},
      {{"-c", "5", "-m", "x", "t"}, "'x' is not a missing-value flag: Illegal character"},
      {{"-c", "5", "-m", "1e39", "t"}, "'1e39' is not a missing-value flag: Number out of range"},
      {{"-c", "5", "-m", "Inf", "t"}, "'Inf' is not a missing-value flag: Number out of range"},
      {{"-c", "5", "-m", ",", "t"}, "',' is not a missing-value flag: No missing value flag"},
      {{"-c", "5", "-m", "", "t"}, "'' is not a missing-value flag: it holds no number"},
      {{"-c", "5", "-p", "all", "t"}, "'all' is not none, listed or widest"},
      {{"-c", "5", "--ends=both", "t"}, "'both' is not predict or none"},
      {{"-c", "5", "--filter=0", "t"}, "'0' is not a whole number of 1 or more, a percentage"},
      {{"-c", "5", "--filter=AIC", "t"}, "'AIC' is not a whole number of 1 or more, a "
                                          "percentage from 1% to 1000%, or auto"},
      {{"-c", "5", "--predict=auto", "t"}, "'auto' is not a whole number of 1 or more, or a "
                                            "percentage from 1% to 1000%"},
      {{"-c", "5", "--predict=1001%", "t"}, "option '--predict': '1001%' is not"},
      {{"-c", "67%", "--filter=3", "--ends=none", "t"}, "they don't go with --ends=none"},
      {{"-c", "5", "--ends=none", "--predict=4", "t"}, "they don't go with --ends=none"},
      {{"-c", "5", "--input-format=csv", "t"}, "'csv' is not table, rwl or crn"},
      {{"-c", "5", "-j", "0", "t"}, "option '-j': '0' is not a whole number of 1 or more"},
      {{"-c", "5", "--plot-device=", "t"}, "'' is not a PLplot device name"},
      {{"-c", "5", "-o", "", "t"}, "option '-o': '' is not a file name"},
      {{"-c", "5", "--output-dir=", "t"}, "option '--output-dir': '' is not a folder name"},
      {{"-c", "5", "-o", "x", "a", "b"}, "-o names the output of a single TABLE"},
      {{"-c", "5", "-o", "x", "-d", "y", "a"}, "give -o or -d, not both"},
      {{"-c", "5", "-"}, "TABLE - (standard input) needs -o FILE"},
      {{"-c", "5", "-o", "-", "-", "-"}, "standard input (-) can be read only once"},
      {{"-c", "5", "--response", "t"}, "--response takes no TABLE"},
      {{"--response"}, "a batch run needs --cutoff=YEARS"},
      {{"-c", "0%", "t"}, "option '-c': '0%' is not a percentage from 1% to 1000%"},
      {{"-c", "1001%", "t"}, "'1001%' is not a percentage from 1% to 1000%"},
      {{"--cutoff=67.5%", "t"}, "'67.5%' is not a percentage"},
      {{"-c", "%", "t"}, "'%' is not a percentage"},
      {{"-c", "50%", "--response"}, "--response needs a cutoff in years"},
      {{"-c", "5", "-n", "--index=ratio", "t"}, "--index=ratio has no meaning with -n"},
      {{"-c", "5", "--index=log", "t"}, "'log' is not ratio or difference"},
      {{"-c", "5", "--chronology=pdf", "t"}, "'pdf' is not crn, csv or crn,csv"},
      {{"-c", "5", "--chronology=crn", "-o", "x", "-"}, "--chronology needs a named TABLE"},
      // A bad argument wins over --help and --version, before anything is printed.
      {{"--help", "--bogus"}, "unrecognized option '--bogus'"},
  };
  for (const auto& c : cases) {
    const Outcome o = run(c.arguments);
    SCOPED_TRACE(c.arguments.front());
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err.rfind("ringsmooth: ", 0), 0u) << o.err;
    EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 2) << o.err;
    EXPECT_NE(o.err.find("\nTry 'ringsmooth --help' for more information.\n"), std::string::npos)
        << o.err;
  }
}

// The gain of the spline of parameter p at a period, from its frequency response: the penalty's
// fourth difference (2 - 2 cos w)^2 against p times the band (4 + 2 cos w) / 3 of the
// second-derivative system, the two equal (gain 0.5) at the cutoff.
double gainOf(double p, double period) {
  const double c = std::cos(2.0 * M_PI / period);
  const double penalty = (2.0 - 2.0 * c) * (2.0 - 2.0 * c);
  const double band = p * (4.0 + 2.0 * c) / 3.0;
  return band / (penalty + band);
}

TEST(CommandLine, ResponseNamesTheParametersAndHalvesAtTheCutoff) {
  for (const int cutoff : {30, 7}) {
    const Outcome o = run({"--response", "-c", std::to_string(cutoff)});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
    std::istringstream lines(o.out);
    std::map<std::string, double> value;
    std::vector<std::string> names;
    std::map<std::string, std::string> text;
    for (std::string name, number; lines >> name >> number;) {
      value[name] = std::stod(number);
      text[name] = number;
      names.push_back(name);
    }
    EXPECT_EQ(value["cutoff"], cutoff);
    EXPECT_GT(value["p"], 0.0);
    EXPECT_DOUBLE_EQ(value["lambda"], 1.0 / (2.0 * value["p"]));
    EXPECT_DOUBLE_EQ(value["smooth"], 1.0 / (1.0 + value["lambda"]));
    EXPECT_EQ(text["gain_at_" + std::to_string(cutoff)], "0.5");
    // The gains at a quarter of the cutoff to four times it, each named by its period as the
    // shortest decimal and given to six digits.
    std::vector<std::string> expected = {"cutoff", "p", "lambda", "smooth"};
    for (const double factor : {0.25, 0.5, 0.75, 1.0, 1.5, 2.0, 3.0, 4.0}) {
      char period[32];
      char gain[32];
      std::snprintf(period, sizeof period, "%g", factor * cutoff);
      std::snprintf(gain, sizeof gain, "%.6g", gainOf(value["p"], factor * cutoff));
      expected.push_back(std::string("gain_at_") + period);
      EXPECT_EQ(text[expected.back()], gain) << expected.back();
    }
    EXPECT_EQ(names, expected);
  }
}

TEST(CommandLine, AFailedWriteIsNotReportedAsSuccess) {
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full on this machine";
  std::FILE* err = std::tmpfile();
  ASSERT_NE(err, nullptr);
  std::string name = "ringsmooth";
  std::string option = "--help";
  char* argv[] = {name.data(), option.data(), nullptr};
  EXPECT_EQ(ringsmooth::handleCommandLine(2, argv, full, err), 1);
  EXPECT_NE(contentsOf(err).find("ringsmooth: write error"), std::string::npos);
  std::fclose(full);
  std::fclose(err);
}

TEST(CommandLine, UsageTextFitsAnEightyColumnTerminal) {
  std::istringstream lines(ringsmooth::usageText());
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_LE(line.size(), 80u) << "line " << count << ": " << line;
    EXPECT_EQ(line.find('\t'), std::string::npos) << "line " << count;
  }
  EXPECT_GT(count, 5);
}

TEST(CommandLine, UsageTextNamesEveryOptionItAccepts) {
  const std::string usage = ringsmooth::usageText();
  for (const char* option :
       {"-h", "--help", "-V", "--version", "-c, --cutoff", "-o, --output", "-d, --output-dir",
        "-f, --format", "--columns", "-m, --missing", "-n, --normalize", "-p, --plots",
        "--plot-device", "--ends", "--filter", "--predict", "--response", "-v, --verbose",
        "-j, --jobs", "--input-format",
        "--index", "--chronology",
        "RINGSMOOTH_PLOT_DEVICE", "RINGSMOOTH_JOBS"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

}  // namespace
