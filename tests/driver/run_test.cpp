// The program as a user meets it: scripted answers on standard input, the console, the listing
// and the exit status, compared with an independent computation of every listed value.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <filesystem>
#include <string>
#include <vector>

#include "support/listing_check.h"
#include "support/program.h"
#include "support/reference_pipeline.h"
#include "support/svg_page.h"

namespace {

using runner::answers;
using runner::prompt;

constexpr float FLAG = -999.0f;

// One generated series: its cells over rows firstRow .. firstRow + cells.size() - 1 of the
// table (cells equal to the flag or NaN are missing), every other row holding the flag.
struct Series {
  std::string name;
  int firstRow;
  std::vector<double> cells;
};

struct Table {
  int firstYear;
  int rows;
  std::vector<Series> series;
  std::string flagText = "-999";

  std::string text() const {
    std::string out = "Year";
    for (const auto& s : series) out += " " + s.name;
    out += "\n";
    char cell[64];
    for (int r = 0; r < rows; ++r) {
      out += std::to_string(firstYear + r);
      for (const auto& s : series) {
        const int i = r - s.firstRow;
        if (i < 0 || i >= static_cast<int>(s.cells.size())) {
          out += " " + flagText;
        } else if (std::isnan(s.cells[i])) {
          out += " NA";
        } else {
          std::snprintf(cell, sizeof cell, " %.17g", s.cells[i]);
          out += cell;
        }
      }
      out += "\n";
    }
    return out;
  }
};

// A ring-width-like series: level near 1, some persistence, noise.
std::vector<double> ringWidths(int n, unsigned seed, double level = 1.0) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> noise(0.0, 0.15);
  std::vector<double> v(n);
  double state = 0.0;
  for (int i = 0; i < n; ++i) {
    state = 0.6 * state + noise(rng);
    v[i] = level + state + 0.1 * std::sin(i * 0.21);
    v[i] = std::round(v[i] * 1000.0) / 1000.0;
  }
  return v;
}

std::string expectedListing(const Table& t, int cutoff, bool standardize, std::string* echo = nullptr) {
  std::string out;
  for (const auto& s : t.series) {
    std::string seriesEcho;
    out += reference::block(s.name, t.firstYear + s.firstRow, s.cells, FLAG, cutoff, standardize,
                            &seriesEcho);
    if (echo) *echo += seriesEcho;
  }
  return out;
}

// The cells of series s over every row of the table, the rows outside it holding the flag.
std::vector<double> tableColumn(const Table& t, std::size_t s) {
  const Series& series = t.series[s];
  std::vector<double> column(t.rows, std::stod(t.flagText));
  std::copy(series.cells.begin(), series.cells.end(), column.begin() + series.firstRow);
  return column;
}

// Floats written with every digit that tells them apart.
std::string allDigits(const std::vector<float>& numbers) {
  std::string text;
  char number[32];
  for (const float v : numbers) {
    std::snprintf(number, sizeof number, " %.9g", v);
    text += number;
  }
  return text;
}

// The numbers of the two console lines just before the line that begins with `next` (a plot's
// range lines, yMax yMin and xMax xMin), read as floats and written by allDigits.
std::string rangeLinesBefore(const std::string& console, const std::string& next) {
  const size_t end = console.find("\n" + next);
  if (end == std::string::npos) return "";
  size_t start = end;
  for (int lines = 0; lines < 2 && start != std::string::npos && start > 0; ++lines) {
    start = console.rfind('\n', start - 1);
  }
  std::istringstream words(console.substr(start + 1, end - start - 1));
  std::vector<float> numbers;
  for (std::string w; words >> w;) numbers.push_back(std::strtof(w.c_str(), nullptr));
  return allDigits(numbers);
}

class ProgramRun : public runner::ScratchTest {
 protected:
  runner::Result runTable(const Table& t, int cutoff, const std::string& normalize,
                          const std::string& range, const std::string& device = "null") {
    write("table.txt", t.text());
    return runner::run(folder,
                       answers("table.txt", "result.txt", static_cast<int>(t.series.size()) + 1,
                               t.flagText, cutoff, normalize, range),
                       device);
  }
  std::string listing() { return read("result.txt"); }
};

TEST_F(ProgramRun, SlashAtTheFirstQuestionEndsAtOnce) {
  for (const char* answer : {"/\n", "/tmp/table.txt\n", "/anything else\n"}) {
    const auto r = runner::run(folder, answer);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.console, "\n" + prompt("Enter the input file (/ to exit)"));
  }
}

TEST_F(ProgramRun, DialogueLayoutAndListingMatchAnIndependentComputation) {
  Table t{1801, 120, {{"PinusA", 0, ringWidths(120, 1)},
                      {"Quercus_with_a_long_name", 10, ringWidths(95, 2, 2.5)},
                      {"Short", 40, ringWidths(60, 3, 0.2)}}};
  std::string echo;
  const std::string expected = expectedListing(t, 30, false, &echo);
  const auto r = runTable(t, 30, "n", "x");
  ASSERT_EQ(r.status, 0) << r.console;
  EXPECT_EQ(listing(), expected);
  const std::string dialogue = "\n" + prompt("Enter the input file (/ to exit)") +
                               prompt("Enter the output file") +
                               prompt("Enter number of columns including years") +
                               prompt("Enter missing value flag, e.g., -999.00") + "\n" +
                               prompt("Enter the 50% frequency response cutoff") +
                               prompt("Normalize the input data first? y/n") +
                               prompt("Maximum x-axis range for all plots? y/n");
  EXPECT_EQ(r.console, dialogue + echo);
}

TEST_F(ProgramRun, StandardizedGapsNaNAndUpperCaseAnswers) {
  Table t{1700, 200, {{"A", 0, ringWidths(200, 4)}, {"B", 20, ringWidths(150, 5)}}};
  t.series[0].cells[50] = FLAG;           // interior gap
  t.series[0].cells[51] = std::nan("");   // written NA: missing too
  t.series[1].cells[70] = FLAG;
  const auto r = runTable(t, 25, "Y", "N");
  ASSERT_EQ(r.status, 0) << r.console;
  EXPECT_EQ(listing(), expectedListing(t, 25, true));
}

// A flag that single precision can't hold: the table's double comparison finds nothing missing,
// the single-precision trimming cuts the flagged years at both ends.
TEST_F(ProgramRun, FlagOnlySinglePrecisionRecognisesIsTrimmed) {
  Table t{1900, 80, {{"Trim", 0, ringWidths(80, 6)}}};
  t.flagText = "-99.99";
  for (int i : {0, 1, 2, 78, 79}) t.series[0].cells[i] = -99.99;
  write("table.txt", t.text());
  const auto r = runner::run(folder, answers("table.txt", "result.txt", 2, "-99.99", 10, "n", "n"),
                             "svg");
  ASSERT_EQ(r.status, 0) << r.console;
  const std::string expected =
      reference::block("Trim", 1900, t.series[0].cells, -99.99f, 10, false);
  EXPECT_EQ(listing(), expected);
  EXPECT_NE(listing().find("\n 1903"), std::string::npos);
  EXPECT_EQ(listing().find("\n 1902"), std::string::npos);
  EXPECT_TRUE(has("result-1.svg"));
}

TEST_F(ProgramRun, LengthLimitExactlyAcceptedOneAboveStops) {
  // 9,800 years plus 2 x 100 predicted values: exactly 10,000 for the spline.
  Table ok{1, 9800, {{"Long", 0, ringWidths(9800, 7)}}};
  auto r = runTable(ok, 100, "n", "n");
  ASSERT_EQ(r.status, 0) << r.console.substr(r.console.size() > 2000 ? r.console.size() - 2000 : 0);
  EXPECT_EQ(listing(), expectedListing(ok, 100, false));

  // A first series that fits, then one that needs 10,001 values: the run stops with the
  // spline's message, status 3, and the first block is in the listing.
  Table over{1, 9801, {{"Fits", 9701, ringWidths(100, 8)}, {"TooLong", 0, ringWidths(9801, 9)}}};
  r = runTable(over, 100, "n", "n");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.console.find("\n *** series too long for spline subroutine ***\n"
                           "  *** enlarge mxy parameter in subroutine ***\n\n"),
            std::string::npos);
  Table first{1, 9801, {over.series[0]}};
  EXPECT_EQ(listing(), expectedListing(first, 100, false));
}

// Many series of different lengths, with unusable ones among them: every block and note comes
// in series order.
TEST_F(ProgramRun, ManySeriesInOrderWithSkippedOnesAmongThem) {
  Table t{1600, 300, {}};
  for (int s = 0; s < 11; ++s) {
    const int length = 40 + 23 * s;
    std::vector<double> cells = s % 4 == 2 ? std::vector<double>{} : ringWidths(length, 100 + s);
    t.series.push_back({"S" + std::to_string(s + 1), (s * 7) % 40, cells});
  }
  const auto r = runTable(t, 12, "n", "x");
  ASSERT_EQ(r.status, 0) << r.console;
  Table present{1600, 300, {}};
  for (const auto& s : t.series)
    if (!s.cells.empty()) present.series.push_back(s);
  EXPECT_EQ(listing(), expectedListing(present, 12, false));
  const size_t note3 = r.console.find("Series 3 (S3");
  const size_t note7 = r.console.find("Series 7 (S7");
  ASSERT_NE(note3, std::string::npos);
  ASSERT_NE(note7, std::string::npos);
  // Between the notes of series 3 and 7 come the echoes of series 4, 5 and 6.
  size_t echoes = 0;
  for (size_t at = note3; (at = r.console.find("ip:", at)) < note7; ++at) ++echoes;
  EXPECT_EQ(echoes, 3u);
}

// A cutoff whose filter fits its storage (10,000 coefficients) shows the filter before the
// length stop; a longer one shows the heading alone. Nine series fill a batch of filters and
// begin another: a longer filter is computed for none of them (it would overrun their storage).
TEST_F(ProgramRun, CutoffBeyondEveryLimitStopsCleanly) {
  Table t{1900, 50, {{"S", 0, ringWidths(50, 16)}}};
  for (unsigned k = 2; k <= 9; ++k) {
    t.series.push_back({"S" + std::to_string(k), 0, ringWidths(50, 15 + k)});
  }
  const std::string filter = reference::compute(t.series[0].cells, FLAG, 10000, false).echo;
  const std::string heading = filter.substr(0, filter.find(" ip:"));
  ASSERT_NE(heading.find("(length ***)"), std::string::npos) << heading;
  const std::string stop =
      "\n *** series too long for spline subroutine ***\n"
      "  *** enlarge mxy parameter in subroutine ***\n\n";
  const struct {
    int cutoff;
    std::string echo;
  } cases[] = {{10000, filter}, {20000, heading}};
  for (const auto& c : cases) {
    const auto r = runTable(t, c.cutoff, "n", "x");
    EXPECT_EQ(r.status, 3) << c.cutoff;
    // The console ends with the echo and the stop (about 1,000 lines for 10,000 coefficients:
    // a difference is shown from where it begins).
    const std::string tail = c.echo + stop;
    ASSERT_GE(r.console.size(), tail.size()) << r.console;
    const std::string shown = r.console.substr(r.console.size() - tail.size());
    const size_t at = std::mismatch(shown.begin(), shown.end(), tail.begin()).first - shown.begin();
    EXPECT_EQ(at, shown.size()) << c.cutoff << ": \"" << shown.substr(at, 160) << "\" where \""
                                << tail.substr(at, 160) << "\" was expected";
    EXPECT_EQ(listing(), "") << c.cutoff;
  }
}

// Each answer to both questions, on a table whose second series has years trimmed at both ends
// (its flag only single precision recognises, so the reader keeps them). The range lines hold
// the extremes of what is drawn, exactly; in the picture the level line lies flat at the mean (0
// when standardized) over the whole window, and a widest-range plot draws the trimmed years on it.
TEST_F(ProgramRun, PlotsShowTheListedValuesAndTheirLevel) {
  // Values spread far about their mean (down to a fraction of it, and below 0), so that a
  // deviation is not always exact in single precision.
  Table t{1850, 100, {{"One", 0, ringWidths(100, 10)}, {"Two", 5, ringWidths(90, 11, 0.2)}}};
  t.flagText = "-99.99";
  t.series[1].cells[0] = -99.99;
  t.series[1].cells[89] = -99.99;
  write("table.txt", t.text());
  const std::string answerSets[][2] = {{"n", "n"}, {"n", "y"}, {"y", "n"}, {"y", "y"}};
  for (const auto& [normalize, range] : answerSets) {
    SCOPED_TRACE("normalize " + normalize + ", widest range " + range);
    const bool widest = range == "y";
    const auto r = runner::run(
        folder, answers("table.txt", "result.txt", 3, t.flagText, 15, normalize, range), "svg");
    ASSERT_EQ(r.status, 0) << r.console;
    for (std::size_t k = 1; k <= t.series.size(); ++k) {
      const reference::Result ref =
          reference::compute(tableColumn(t, k - 1), -99.99f, 15, normalize == "y");
      ASSERT_EQ(ref.lead + ref.trail, k == 2 ? 12 : 0);
      float yMin = 100000.0f, yMax = -100000.0f;
      const auto widen = [&](float v) { yMax = std::max(yMax, v), yMin = std::min(yMin, v); };
      for (int i = 0; i < ref.n; ++i) widen(ref.listed[i]), widen(ref.spline[i]);
      if (widest && ref.lead + ref.trail > 0) widen(ref.mean);
      const int first = widest ? t.firstYear : t.firstYear + ref.lead;
      const int last = widest ? t.firstYear + t.rows - 1 : first + ref.n - 1;
      const std::string file = "result-" + std::to_string(k) + ".svg";
      EXPECT_EQ(rangeLinesBefore(r.console, " Plot written to " + file),
                allDigits({yMax, yMin, float(last), float(first)}))
          << r.console;

      ASSERT_TRUE(has(file));
      const svgpage::Page page = svgpage::readPage(folder + "/" + file);
      const svgpage::Box frame = svgpage::boxOf(svgpage::pointsOf(page, "#000000", 1.0));
      const auto xOf = [&](int year) {
        return frame.left + double(year - first) / (last - first) * (frame.right - frame.left);
      };
      const double levelY =
          frame.bottom + (ref.mean - yMin) / double(yMax - yMin) * (frame.top - frame.bottom);
      const svgpage::Box level = svgpage::boxOf(svgpage::pointsOf(page, "#000000", 2.0));
      EXPECT_NEAR(level.bottom, levelY, 0.03) << file;
      EXPECT_NEAR(level.top, levelY, 0.03) << file;
      EXPECT_NEAR(level.left, frame.left, 0.03) << file;
      EXPECT_NEAR(level.right, frame.right, 0.03) << file;
      if (!widest) continue;
      std::vector<int> trimmed;
      for (int i = 0; i < ref.lead; ++i) trimmed.push_back(first + i);
      for (int i = 0; i < ref.trail; ++i) trimmed.push_back(last - i);
      for (const auto& [stroke, width] : {std::pair{"#FF0000", 1.0}, std::pair{"#0000FF", 2.0}}) {
        const auto curve = svgpage::pointsOf(page, stroke, width);
        for (const int year : trimmed) {
          const auto at = std::find_if(curve.begin(), curve.end(), [&](const svgpage::Point& p) {
            return std::fabs(p.x - xOf(year)) < 0.03;
          });
          ASSERT_NE(at, curve.end()) << stroke << " year " << year;
          EXPECT_NEAR(at->y, levelY, 0.03) << stroke << " year " << year;
        }
      }
    }
    std::remove((folder + "/result-1.svg").c_str());
    std::remove((folder + "/result-2.svg").c_str());
  }
}

// A series that can't be processed gets a note that names it and says why, and no block; the
// series around it are listed as usual.
TEST_F(ProgramRun, SeriesThatCannotBeProcessedGetANoteAndNoBlock) {
  const auto note = [](int k, const std::string& name, const std::string& why) {
    return " Series " + std::to_string(k) + " (" + name + "): " + why + "; no result block.\n";
  };
  const struct {
    const char* label;
    Series odd;
    int cutoff;
    const char* normalize;
    std::string why;
  } cases[] = {
      {"no value", {"Empty", 0, {}}, 5, "y", "no value present"},
      {"no spread", {"Flat", 0, std::vector<double>(30, 2.0)}, 5, "y",
       "standard deviation 0 or undefined, cannot standardize"},
      // One value extended by one year at each end: three values, one short of the spline's four.
      {"too short", {"One", 12, {1.5}}, 1, "n", "too short to smooth"},
      // Each value fits single precision; their sum does not.
      {"too large", {"Huge", 0, std::vector<double>(30, 3.0e38)}, 5, "n",
       "values too large for a single-precision mean"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const Series good{"Good", 0, ringWidths(30, 12)};
    const Table t{1900, 30, {good, c.odd, good}};
    const auto r = runTable(t, c.cutoff, c.normalize, "x");
    ASSERT_EQ(r.status, 0) << r.console;
    EXPECT_NE(r.console.find(note(2, c.odd.name, c.why)), std::string::npos) << r.console;
    const Table listed{1900, 30, {good, good}};
    EXPECT_EQ(listing(), expectedListing(listed, c.cutoff, std::string(c.normalize) == "y"));
  }
}

TEST_F(ProgramRun, AnswersOutsideTheirRangeAreAskedAgain) {
  Table t{1900, 40, {{"S", 0, ringWidths(40, 13)}}};
  write("table.txt", t.text());
  const auto r = runner::run(folder, "table.txt\nresult.txt\n2\n-999\n0\n-3\n4\nmaybe\n\nyes\nno\n");
  ASSERT_EQ(r.status, 0) << r.console;
  EXPECT_EQ(listing(), expectedListing(t, 4, true));
  size_t asked = 0;
  for (size_t at = 0; (at = r.console.find("Enter the 50% frequency", at)) != std::string::npos; ++at)
    ++asked;
  EXPECT_EQ(asked, 3u);
}

struct ErrorCase {
  const char* name;
  std::string answers;
  const char* message;
};

TEST_F(ProgramRun, InputErrorsEndWithAReportAndStatus1) {
  write("table.txt", "Year A\n1901 1.5\n1902 2.5\n1903 x\n");
  const std::string goodTable = "Year A\n1901 1.5\n1902 2.5\n1903 2\n1904 1\n1905 3\n";
  write("good.txt", goodTable);
  const ErrorCase cases[] = {
      {"missing input", "nosuch.txt\n", "No such file or directory"},
      {"input is a folder", ".\n", "Is a directory"},
      {"output folder missing", "good.txt\nno/such/out.txt\n", "No such folder \"no/such\""},
      {"end at the first question", "", "Attempt to read past end of file"},
      {"end at the output question", "good.txt\n", "Attempt to read past end of file"},
      {"end at the column count", "good.txt\nout.txt\n", "Attempt to read past end of file"},
      {"end at the flag", "good.txt\nout.txt\n2\n", "Attempt to read past end of file"},
      {"end at the cutoff", "good.txt\nout.txt\n2\n-999\n", "Attempt to read past end of file"},
      {"end at normalize", "good.txt\nout.txt\n2\n-999\n3\n", "Attempt to read past end of file"},
      {"end at plot range", "good.txt\nout.txt\n2\n-999\n3\nn\n", "Attempt to read past end of file"},
      {"decimal cutoff", "good.txt\nout.txt\n2\n-999\n2.5\n", "Illegal character in numeric input"},
      {"letter in the table", "table.txt\nout.txt\n2\n-999\n", "Illegal character in numeric input"},
      {"output over the input", "good.txt\ngood.txt\n", "It is the input file"},
      {"empty flag", "good.txt\nout.txt\n2\n,\n", "No missing value flag was given"},
      {"slash as flag", "good.txt\nout.txt\n2\n/\n", "No missing value flag was given"},
  };
  for (const auto& c : cases) {
    const auto r = runner::run(folder, c.answers);
    EXPECT_EQ(r.status, 1) << c.name;
    SCOPED_TRACE(c.name);
    runner::expectReport(r.console, c.message);
  }
  EXPECT_EQ(read("good.txt"), goodTable);  // never overwritten
}

// The settings that make `call` (close, fsync, rename) of the file whose name ends with `name`
// fail with EIO.
std::vector<std::string> failing(const std::string& call, const std::string& name) {
  std::vector<std::string> settings = runner::preloading(CALL_FAILS_LIBRARY);
  settings.push_back("CALL_FAILS=" + call);
  settings.push_back("CALL_FAILS_FOR=" + name);
  return settings;
}

// Whatever the run could not write (a full disk, a console or standard error that takes
// nothing, a listing whose close reports an I/O error) makes a run that would succeed a failure,
// said where it can still be said; one stopped for a series too long keeps the status of its stop.
TEST_F(ProgramRun, WhatCannotBeWrittenIsAFailure) {
  write("table.txt", "Year A\n1901 1.5\n1902 2.5\n1903 2\n1904 1\n1905 3\n");
  const auto dialogue = [](const char* listing, int cutoff) {
    return answers("table.txt", listing, 2, "-999", cutoff, "n", "x");
  };
  const struct {
    const char* label;
    std::string answers;
    std::vector<std::string> arguments, environment;
    const char *standardOutput, *standardError;
    int status;
    const char* console;  // what the console must hold ("" anything)
    const char* errors;   // what standard error must hold ("" anything)
    bool replacing = false;  // table.lst holds an earlier result, which a failure leaves as it was
  } cases[] = {
      {"listing on a full disk", dialogue("/dev/full", 5), {}, {}, "", "", 1,
       "? No space left on device", ""},
      {"console on a full disk", dialogue("r.txt", 2), {}, {}, "/dev/full", "", 1, "",
       "No space left on device"},
      {"console full, series too long", dialogue("r.txt", 5000), {}, {}, "/dev/full", "", 3, "",
       "No space left on device"},
      {"listing's close fails", dialogue("r.txt", 2), {}, failing("close", "/r.txt"), "", "", 1,
       "? Cannot close the output listing \"r.txt\"", ""},
      {"batch listing's close fails", "", {"-c", "2", "table.txt"}, failing("close", "/table.lst"), "",
       "", 1, "", "Cannot close the output listing \"table.lst\""},
      {"batch echo on a full standard error", "", {"-c", "2", "-v", "table.txt"}, {}, "",
       "/dev/full", 1, "", ""},
      {"batch with nothing to say", "", {"-c", "2", "table.txt"}, {}, "", "/dev/full", 0, "", ""},
      {"sync fails replacing a listing", "", {"-c", "2", "table.txt"}, failing("fsync", "/table.lst"),
       "", "", 1, "", "output listing \"table.lst\"\n? Input/output error", true},
      {"rename fails at commit", "", {"-c", "2", "table.txt"}, failing("rename", "table.lst"), "",
       "", 1, "", "output listing \"table.lst\"\n? Input/output error", true},
      {"chronology's close fails", "", {"-c", "2", "--chronology=crn,csv", "table.txt"},
       failing("close", "/table.crn"), "", "", 1, "", "the chronology \"table.crn\"\n? Input/"},
      {"chronology CSV's close fails", "", {"-c", "2", "--chronology=csv", "table.txt"},
       failing("close", "/table.chron.csv"), "", "", 1, "", "the chronology \"table.chron.csv\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    runner::Options o;
    o.answers = c.answers;
    o.arguments = c.arguments;
    o.environment = c.environment;
    o.standardOutput = c.standardOutput;
    o.standardError = c.standardError;
    if (c.replacing) write("table.lst", "earlier\n");
    const auto r = runner::run(folder, o);
    EXPECT_EQ(r.status, c.status) << r.console << r.errors;
    if (c.replacing) {
      EXPECT_EQ(read("table.lst"), "earlier\n");
    }
    EXPECT_NE(r.console.find(c.console), std::string::npos) << r.console;
    EXPECT_NE(r.errors.find(c.errors), std::string::npos) << r.errors;
    // A listing that could not be closed is not put in place: no temporary stays behind.
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }
  }
}

TEST_F(ProgramRun, ControlBytesInAReportAreShownAsQuestionMarks) {
  write("table.txt", "Year A\n1901 1\x1b[2J5\n");
  const auto r = runner::run(folder, "table.txt\nout.txt\n2\n-999\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.console.find('\x1b'), std::string::npos) << r.console;
  EXPECT_NE(r.console.find("1?[2J5"), std::string::npos) << r.console;
}

TEST_F(ProgramRun, TableWithoutDataRowsEndsNormally) {
  write("table.txt", "Year A B\n");
  const auto r = runner::run(folder, "table.txt\nresult.txt\n3\n-999\n");
  EXPECT_EQ(r.status, 0) << r.console;
  EXPECT_NE(r.console.find("no series"), std::string::npos) << r.console;
  EXPECT_TRUE(has("result.txt"));
  EXPECT_EQ(listing(), "");
}

TEST_F(ProgramRun, UserFontDirectoryIsReplaced) {
  // A bogus PLPLOT_LIB from the user's environment must not stop the plots from finding fonts.
  Table t{1900, 40, {{"S", 0, ringWidths(40, 15)}}};
  write("table.txt", t.text());
  runner::Options o;
  o.answers = answers("table.txt", "r.txt", 2, "-999", 5, "n", "n");
  o.plotDevice = "svg";
  o.environment = {"PLPLOT_LIB=/nonexistent"};
  const auto r = runner::run(folder, o);
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(has("r-1.svg"));
  EXPECT_EQ((r.console + r.errors).find("Unable to"), std::string::npos) << r.errors;
}

}  // namespace
