// Batch runs with indices and chronologies: each series' own cutoff from -c N%, the note on
// series shorter than the cutoff, and a .crn whose index does not fit, reported while the
// table's other outputs are written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "support/program.h"

namespace {

// Four series of 10, 33, 100 and 7 years (missing years at the ends) of ring-width-like values
// around `level`.
std::string fourLengths(double level) {
  const int lengths[] = {10, 33, 100, 7};
  std::string text = "Year A B C D\n";
  for (int i = 0; i < 100; ++i) {
    text += std::to_string(1801 + i);
    for (int k = 0; k < 4; ++k) {
      char cell[32];
      std::snprintf(cell, sizeof cell, " %.3f", level * (1.0 + 0.3 * std::sin(0.7 * i + k)));
      text += i < lengths[k] ? cell : " -999";
    }
    text += '\n';
  }
  return text;
}

class ChronologyRun : public runner::ScratchTest {
 protected:
  runner::Result batch(const std::vector<std::string>& arguments) {
    runner::Options o;
    o.arguments = arguments;
    return runner::run(folder, o);
  }
};

// The filter lengths of the echo, series by series.
std::vector<int> filterLengths(const std::string& echo) {
  const std::string mark = "prediction error filter (length ";
  std::vector<int> lengths;
  for (std::size_t at = 0; (at = echo.find(mark, at)) != std::string::npos; at += mark.size()) {
    lengths.push_back(std::stoi(echo.substr(at + mark.size(), 3)));
  }
  return lengths;
}

TEST_F(ChronologyRun, EachSeriesGetsItsCutoffAndShortSeriesAreNoted) {
  write("t.txt", fourLengths(1.0));
  const struct {
    const char* cutoff;
    std::vector<int> lengths;  // of 10, 33, 100 and 7 years
    const char* note;          // the table's note on short series, or ""
  } cases[] = {
      {"67%", {6, 22, 67, 4}, ""},             // 6.7, 22.11, 67, 4.69: whole years
      {"50%", {5, 16, 50, 3}, ""},             // 16.5 and 3.5
      {"1%", {1, 1, 1, 1}, ""},                // at least 1
      {"150%", {15, 49, 150, 10},
       "4 of 4 series are shorter than their cutoff (150% of their length)"},
      {"30", {30, 30, 30, 30}, "2 of 4 series are shorter than the cutoff (30 years)"},
      {"9", {9, 9, 9, 9}, "1 of 4 series is shorter than the cutoff (9 years)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cutoff);
    const auto r = batch({"-v", "--ends=predict", "-c", c.cutoff, "t.txt"});
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(filterLengths(r.errors), c.lengths);
    const std::size_t note = r.errors.find(" shorter than ");
    if (c.note[0] == '\0') {
      EXPECT_EQ(note, std::string::npos) << r.errors;
    } else {
      EXPECT_NE(r.errors.find("ringsmooth: t.txt: " + std::string(c.note) +
                              ": their splines are nearly straight lines.\n"),
                std::string::npos)
          << r.errors;
    }
  }
}

// The ends by default: natural with a relative cutoff (no filter, the splines of --ends=none),
// extended when a filter or a prediction is asked for; with a cutoff in years a filter of the
// cutoff's length, as in the dialogue.
TEST_F(ChronologyRun, ARelativeCutoffHasNaturalEndsUnlessAFilterIsAsked) {
  write("t.txt", fourLengths(1.0));
  const std::string natural = batch({"-c", "67%", "--ends=none", "-f", "csv", "-o", "-",
                                     "t.txt"}).console;
  ASSERT_EQ(natural.rfind("series,year,", 0), 0u);
  const struct {
    std::vector<std::string> options;
    std::vector<int> lengths;  // of 10, 33, 100 and 7 years
  } cases[] = {
      {{"-c", "67%"}, {}},
      {{"-c", "67%", "--filter=3"}, {3, 3, 3, 3}},
      {{"-c", "67%", "--filter=10%", "--predict=1"}, {1, 3, 10, 1}},
      {{"-c", "67%", "--filter=20000", "--predict=1"}, {10, 33, 100, 7}},  // cut to each series
      {{"-c", "30"}, {30, 30, 30, 30}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = c.options;
    arguments.insert(arguments.end(), {"-v", "-f", "csv", "-o", "-", "t.txt"});
    const auto r = batch(arguments);
    SCOPED_TRACE(c.options.back());
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(filterLengths(r.errors), c.lengths);
    EXPECT_EQ(r.console == natural, c.lengths.empty());
  }
}

// Difference indices in large units do not fit a .crn: the report names the year, the table
// fails, and its listing and chronology CSV are written; a ratio chronology of the same table
// is written whole.
TEST_F(ChronologyRun, AnIndexTooWideForTheCrnIsReportedAndTheCsvWritten) {
  write("big.txt", fourLengths(1000.0));
  const auto wide = batch({"-c", "5", "--index=difference", "--chronology=crn,csv", "big.txt"});
  EXPECT_EQ(wide.status, 1);
  EXPECT_NE(wide.errors.find("? big.txt: Cannot write the chronology \"big.crn\"\n? The index of "
                             "year 1801 does not fit the 4 columns"),
            std::string::npos)
      << wide.errors;
  EXPECT_FALSE(has("big.crn"));
  EXPECT_EQ(read("big.chron.csv").rfind("year,std,res,depth\n1801,", 0), 0u);
  EXPECT_NE(read("big.lst"), "");

  const auto ratio = batch({"-c", "5", "--chronology=crn,csv", "big.txt"});
  EXPECT_EQ(ratio.status, 0) << ratio.errors;
  EXPECT_NE(ratio.errors.find("ringsmooth: big.txt: Chronology 1801 to 1900 (100 years), largest "
                              "sample depth 4.\n"),
            std::string::npos)
      << ratio.errors;
  EXPECT_EQ(read("big.crn").substr(0, 10), "big    1 b");  // columns 7-10 are no number
  // Difference indices get the same header; a table where no series has an index gets a note
  // and no file.
  write("t.txt", fourLengths(1.0));
  EXPECT_EQ(batch({"-c", "5", "--index=difference", "--chronology=crn", "t.txt"}).status, 0);
  EXPECT_EQ(read("t.crn").substr(0, 10), "t      1 t");
  write("none.txt", "Year A\n1901 -999\n1902 -999\n");
  const auto none = batch({"-c", "5", "--chronology=crn,csv", "none.txt"});
  EXPECT_NE(none.errors.find("none.txt: No chronology: no series has an index.\n"), std::string::npos);
  EXPECT_FALSE(has("none.crn") || has("none.chron.csv"));

  // With plots, the table's PDF has a page per series, the chronology's and the residual one's.
  const auto plotted = batch({"-c", "5", "-p", "listed", "--chronology=csv", "big.txt"});
  EXPECT_EQ(plotted.status, 0) << plotted.errors;
  EXPECT_NE(plotted.errors.find("Plots written to big.pdf (6 pages)"), std::string::npos)
      << plotted.errors;
}

// A ring-width file's site header goes to its .crn with the chronology's years, also for a
// site before -999 (5-column years), and the .crn reads back to those years.
TEST_F(ChronologyRun, TheCrnCarriesTheSiteOfItsRingWidthFile) {
  write("bce.rwl", runner::readFile(RINGSMOOTH_SOURCE_DIR "/tests/input/tucson/bce.rwl"));
  EXPECT_EQ(batch({"-c", "5", "--chronology=crn", "bce.rwl"}).status, 0);
  EXPECT_EQ(read("bce.crn").substr(0, 38), "BCE53  1 Invented Site, for the tests ");
  const auto back = batch({"-c", "5", "-o", "/dev/null", "bce.crn"});
  EXPECT_NE(back.errors.find(" Tucson chronology file: 1 chronology, years -1015 to 24\n"),
            std::string::npos)
      << back.errors;
}

}  // namespace

