// Tucson ring-width and chronology files read in the dialogue: the listing is the one of the same
// data as a table, the console tells what was read, and malformed files are reported by line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/listing_check.h"
#include "support/program.h"

namespace {

using runner::answers;
using runner::prompt;

const std::string DATA = std::string(RINGSMOOTH_SOURCE_DIR) + "/tests/input/tucson/";

struct SameData {
  const char* tucson;  // a file in tests/input/tucson
  const char* table;   // the same data as a table there
  int columns;         // of the table
  int cutoff;
  const char* normalize;
  std::vector<std::string> notes;  // the console lines after the flag answer
};

class TucsonRun : public runner::ScratchTest {};

// The Tucson run is given a column count of 1 and the flag 0: neither is used (a zero ring stays
// a measured 0).
TEST_F(TucsonRun, ListingIsTheOneOfTheSameDataAsATable) {
  const SameData cases[] = {
      {"ca533.rwl", "ca533.csv", 35, 30, "n",
       {" Tucson ring-width file: 34 series, years 626 to 1983"}},
      {"markers.rwl", "markers.csv", 4, 5, "y",
       {" Tucson ring-width file: 3 series, years 1785 to 1830"}},
      {"bce.rwl", "bce.csv", 3, 8, "n", {" Tucson ring-width file: 2 series, years -1015 to 24"}},
      {"repeated.rwl", "repeated.csv", 5, 5, "n",
       {" Tucson ring-width file: 4 series, years 1895 to 1951",
        " Series ABC at line 8 has the name of an earlier series: read as ABC_2",
        " Series ABC_2 at line 11 has the name of an earlier series: read as ABC_2_2"}},
      {"two.crn", "two.csv", 3, 5, "n",
       {" Tucson chronology file: 2 chronologies, years 1503 to 1545"}},
  };
  for (const SameData& c : cases) {
    SCOPED_TRACE(c.tucson);
    // Copied in: a name starting with "/" would end the dialogue.
    write(c.table, runner::readFile(DATA + c.table));
    write(c.tucson, runner::readFile(DATA + c.tucson));
    const auto table = runner::run(
        folder, answers(c.table, "table.txt", c.columns, "-999", c.cutoff, c.normalize, "x"));
    ASSERT_EQ(table.status, 0) << table.console;
    const auto tucson =
        runner::run(folder, answers(c.tucson, "tucson.txt", 1, "0", c.cutoff, c.normalize, "x"));
    ASSERT_EQ(tucson.status, 0) << tucson.console;
    EXPECT_NE(read("table.txt").find(" Input series is:"), std::string::npos);
    EXPECT_EQ(read("tucson.txt"), read("table.txt"));
    std::string console = table.console;
    const std::string flag = prompt("Enter missing value flag, e.g., -999.00");
    std::string notes;
    for (const std::string& note : c.notes) notes += note + "\n";
    ASSERT_NE(console.find(flag), std::string::npos) << console;
    console.insert(console.find(flag) + flag.size(), notes);
    EXPECT_EQ(tucson.console, console);
  }
}

std::string crnLine(const std::string& id, int decade, const std::string& pairs) {
  char start[16];
  std::snprintf(start, sizeof start, "%-6s%4d", id.c_str(), decade);
  return start + pairs + "\n";
}

struct Malformed {
  const char* file;
  std::string text;
  int line;
  const char* message;
};

TEST_F(TucsonRun, MalformedLinesAreReportedByLine) {
  std::string pairs;
  for (int j = 0; j < 10; ++j) pairs += "1000  5";
  const std::string c1900 = crnLine("C", 1900, pairs);
  const Malformed cases[] = {
      {"a.rwl", "A       1901 1 2\nA       1905 3 999\n", 2,
       "Expected year 1903 for series A, the year after its last value"},
      {"a.rwl", "A       1901 1 2\nB       1901 3 999\n", 1,
       "Series A ends without its end marker (999 or -9999)"},
      {"a.RWL", "\nA       1901 1 2\n\n", 2, "Series A ends without its end marker (999 or -9999)"},
      {"a.rwl", "A       1901 1.04 999\n", 1, "Expected whole-number values of at most 9 digits"},
      {"a.rwl", "A       1900 1 2 3 4 5 6 7 8 9 10 999 0\n", 1,
       "Expected at most 10 values and the end marker on a line"},
      {"a.rwl", "A       1900 1 2 3 4 5 6 7 8 9 10 11\n", 1,
       "Expected the end marker (999 or -9999) as the 11th value"},
      {"a.rwl", "A       1900 1 999 5\n", 1, "Expected nothing but zeros after the end marker"},
      {"a.rwl", "A       19x1 1 999\n", 1,
       "Expected a series ID in columns 1-8 and its year in columns 9-12"},
      {"a.rwl", "A      1901  1 999\n", 1,
       "Expected a series ID in columns 1-8 and its year in columns 9-12"},
      {"a.rwl", "        1901 1 999\n", 1, "Expected a series ID in columns 1-8"},
      {"a.rwl", "A       1901\n", 1, "Expected values after the year"},
      {"a.rwl", "S       1 x\nA       1901 1 999\n", 2,
       "Expected header line 2: the site ID, then 2 in columns 7-10"},
      {"a.rwl", "A       1901 1 999\nA       1901" + std::string(1100, ' ') + "1 999\n", 2,
       "Line longer than 1024 columns"},
      {"c.crn", c1900 + crnLine("C", 1920, pairs), 2,
       "Expected decade 1910 for chronology C, the one after its last line"},
      {"c.crn", c1900 + crnLine("C", 1915, pairs), 2,
       "Expected a decade (a year ending in 0) in columns 7-10"},
      {"c.crn", "C     19x0" + pairs + "\n", 1, "Expected the decade in columns 7-10"},
      {"c.crn", crnLine("", 1900, pairs), 1, "Expected a chronology ID in columns 1-6"},
      {"c.crn", crnLine("C", 1900, pairs.substr(0, 63)), 1,
       "Expected 10 pairs of index and sample depth in columns 11-80"},
      {"c.crn", crnLine("C", 1900, pairs + " 7"), 1, "Expected nothing after column 80"},
      {"c.crn", crnLine("C", 1900, "1.00  5" + pairs.substr(7)), 1,
       "Expected an index of -999 to 9999 for year 1900"},
      {"c.crn", crnLine("C", 1900, pairs.substr(0, 14) + "1000 5 " + pairs.substr(21)), 1,
       "Expected a sample depth (a whole number) for year 1902"},
      // A line with decimals is a statistics line only when it is the file's last.
      {"c.crn", c1900 + "C      1.5 0.3\n" + crnLine("C", 1910, pairs), 2,
       "Expected the decade in columns 7-10"},
  };
  for (const Malformed& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 100));
    write(c.file, c.text);
    const auto r = runner::run(folder, answers(c.file, "out.txt", 1, "0", 5, "n", "x"));
    EXPECT_EQ(r.status, 1);
    runner::expectReport(r.console, c.message);
    const std::string kind = std::string(c.file).ends_with(".crn") ? "chronology" : "ring-width";
    EXPECT_NE(r.console.find("\n? Input error in the " + kind + " file, line " +
                             std::to_string(c.line) + "\n"),
              std::string::npos)
        << r.console;
  }
}

}  // namespace
