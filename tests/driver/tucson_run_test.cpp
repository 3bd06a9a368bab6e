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
  const char* named;   // its name in the dialogue, which takes the format from the name
  const char* table;   // the same data as a table there
  int columns;         // of the table
  int cutoff;
  const char* normalize;
  int status;
  std::vector<std::string> notes;  // the console lines after the flag answer
  std::vector<std::string> seriesNotes = {};  // a batch run's notes on the series, after them
  std::vector<std::string> gathered = {};  // a batch run's lines instead, where it counts notes
};

// The console lines of a batch run: notes after the program's and the file's names, reports
// with the file's name at their head.
std::string batchNotes(const std::vector<std::string>& notes, const std::string& file) {
  std::string text;
  for (const std::string& note : notes) {
    if (note.empty()) {
      text += "\n";
    } else if (note.starts_with("? Input error")) {
      text += "? " + file + ": " + note.substr(2) + "\n";
    } else if (note.starts_with("?")) {
      text += note + "\n";
    } else {
      text += "ringsmooth: " + file + ":" + note + "\n";
    }
  }
  return text;
}

class TucsonRun : public runner::ScratchTest {};

// The Tucson run is given a column count of 1 and the flag 0: neither is used (a zero ring stays
// a measured 0). In a batch run the format is given by --input-format, whatever the name.
TEST_F(TucsonRun, ListingIsTheOneOfTheSameDataAsATable) {
  const SameData cases[] = {
      {"ca533.rwl", "ca533.rwl", "ca533.csv", 35, 30, "n", 0,
       {" Tucson ring-width file: 34 series, years 626 to 1983"}},
      {"markers.rwl", "markers.rwl", "markers.csv", 4, 5, "y", 0,
       {" Tucson ring-width file: 3 series, years 1785 to 1830",
        " 5 lines read by blanks, off the column grid, the first at line 5"},
       {" Series 1 (PIPO01): 2 years filled with the series mean, the first 1796.",
        " Series 2 (PIPO02): 1 year filled with the series mean, the first 1820."},
       {" Tucson ring-width file: 3 series, years 1785 to 1830",
        " 5 lines read by blanks, off the column grid, the first at line 5",
        " 2 series have years filled with the series mean, the first PIPO01 (series 1) in 1796"}},
      {"bce.rwl", "bce.rwl", "bce.csv", 3, 8, "n", 0,
       {" Tucson ring-width file: 2 series, years -1015 to 24",
        " Line 1 skipped as a title: \"BCE533  1 Invented Site, for the tests                   "
        "PIXX\"",
        " Line 2 skipped as a title: \"BCE533  2 Nowhere          Pinus example                  "
        "  3000M  3700-11800\"",
        " Line 3 skipped as a title: \"BCE533  3 ringsmooth tests                                "
        "     -1015    24\""},
       {" Series 2 (LONGID7): 1 year filled with the series mean, the first -1006."},
       {" Tucson ring-width file: 2 series, years -1015 to 24",
        " 3 lines skipped as titles, the first line 1: \"BCE533  1 Invented Site, for the tests   "
        "                PIXX\"",
        " Series 2 (LONGID7): 1 year filled with the series mean, the first -1006."}},
      {"repeated.rwl", "repeated.rwl", "repeated.csv", 5, 5, "n", 0,
       {" Tucson ring-width file: 4 series, years 1895 to 1951",
        " Series ABC at line 8 has the name of an earlier series: read as ABC_2",
        " Series ABC_2 at line 11 has the name of an earlier series: read as ABC_2_2"},
       {},
       {" Tucson ring-width file: 4 series, years 1895 to 1951",
        " 2 series have the name of an earlier series and are read under another, the first ABC "
        "at line 8, read as ABC_2"}},
      {"two.crn", "two.crn", "two.csv", 3, 5, "n", 0,
       {" Tucson chronology file: 2 chronologies, years 1503 to 1545",
        " Line 1 skipped as a title: \"CA999   1 Invented chronologies for the tests             "
        " PIXX\"",
        " Line 2 skipped as a title: \"CA999   2 Nowhere          Pinus example                  "
        "  3000M  3700-11800\"",
        " Line 3 skipped as a title: \"CA999   3 ringsmooth tests                                "
        "      1503  1545\""},
       {" Series 1 (CA999): 2 years filled with the series mean, the first 1523."},
       {" Tucson chronology file: 2 chronologies, years 1503 to 1545",
        " 3 lines skipped as titles, the first line 1: \"CA999   1 Invented chronologies for the "
        "tests              PIXX\"",
        " Series 1 (CA999): 2 years filled with the series mean, the first 1523."}},
      {"offgrid.rwl", "offgrid.rwl", "offgrid.csv", 7, 5, "n", 0,
       {" Tucson ring-width file: 6 series, years 1850 to 1866",
        " 4 lines read by blanks, off the column grid, the first at line 1"},
       {" Series 5 (ABC02): 1 year filled with the series mean, the first 1851."}},
      {"utf8.rwl", "utf8.rwl", "utf8.csv", 3, 5, "y", 0,
       {" Tucson ring-width file: 2 series, years 1960 to 1976"}},
      {"title.txt", "title.rwl", "title.csv", 3, 5, "n", 0,
       {" Tucson ring-width file: 2 series, years 1900 to 1913",
        " Line 1 skipped as a title: \"TTHH White Spruce - Yukon\""}},
      {"case.rwl", "case.rwl", "case.csv", 3, 5, "n", 0,
       {" Tucson ring-width file: 2 series, years 1150 to 1163",
        " Series FDD08A continues at line 2 with its ID written FDD08a"}},
      {"badseries.rwl", "badseries.rwl", "badseries.csv", 3, 5, "n", 1,
       {" Tucson ring-width file: 2 series, years 1200 to 1211; 1 skipped", "",
        "? Input error in the ring-width file, line 4: series FAD23B (lines 3-5) skipped",
        "? Expected year 1211 for series FAD23B, the year after its last value",
        "? the line gives year 1210"}},
      {"bad.crn", "bad.crn", "bad.csv", 3, 5, "n", 1,
       {" Tucson chronology file: 2 chronologies, years 1700 to 1729; 1 skipped",
        " Line 1 skipped as a title: \"Site \xC3\x85lesund chronologies\"", "",
        "? Input error in the chronology file, line 5: chronology BAD (lines 4-5) skipped",
        "? Expected decade 1710 for chronology BAD, the one after its last line",
        "? the line gives decade 1720"}},
  };
  for (const SameData& c : cases) {
    SCOPED_TRACE(c.tucson);
    // Copied in: a name starting with "/" would end the dialogue.
    write(c.table, runner::readFile(DATA + c.table));
    write(c.tucson, runner::readFile(DATA + c.tucson));
    write(c.named, runner::readFile(DATA + c.tucson));
    const auto table = runner::run(
        folder, answers(c.table, "table.txt", c.columns, "-999", c.cutoff, c.normalize, "x"));
    ASSERT_EQ(table.status, 0) << table.console;
    const auto tucson =
        runner::run(folder, answers(c.named, "tucson.txt", 1, "0", c.cutoff, c.normalize, "x"));
    EXPECT_EQ(tucson.status, c.status) << tucson.console;
    EXPECT_NE(read("table.txt").find(" Input series is:"), std::string::npos);
    EXPECT_EQ(read("tucson.txt"), read("table.txt"));
    std::string console = table.console;
    const std::string flag = prompt("Enter missing value flag, e.g., -999.00");
    std::string notes;
    for (const std::string& note : c.notes) notes += note + "\n";
    ASSERT_NE(console.find(flag), std::string::npos) << console;
    console.insert(console.find(flag) + flag.size(), notes);
    EXPECT_EQ(tucson.console, console);

    const std::string format = std::string(c.tucson).ends_with(".crn") ? "crn" : "rwl";
    runner::Options batch;
    batch.arguments = {"-c", std::to_string(c.cutoff), "-o", "batch.txt",
                       "--input-format=" + format, c.tucson};
    if (*c.normalize == 'y') batch.arguments.push_back("-n");
    const auto run = runner::run(folder, batch);
    EXPECT_EQ(run.status, c.status) << run.errors;
    EXPECT_EQ(read("batch.txt"), read("table.txt"));
    std::vector<std::string> expected = c.notes;
    expected.insert(expected.end(), c.seriesNotes.begin(), c.seriesNotes.end());
    if (!c.gathered.empty()) expected = c.gathered;
    EXPECT_EQ(run.errors, batchNotes(expected, c.tucson));
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
  std::string message;
};

// A fault in the file's only series is the file's error; beside a good series, the faulty one is
// skipped with the same report, its heading saying so. Either way the run ends with status 1.
TEST_F(TucsonRun, MalformedLinesAreReportedByLine) {
  std::string pairs;
  for (int j = 0; j < 10; ++j) pairs += "1000  5";
  const std::string c1900 = crnLine("C", 1900, pairs);
  const std::string good = "G       1901     1   999\n";
  const Malformed cases[] = {
      {"a.rwl", "A       1901 1 2\nA       1905 3 999\n", 2,
       "Expected year 1903 for series A, the year after its last value"},
      {"a.rwl", "A       1901 1 2\nB       1901 3 999\n", 1,
       "Series A ends without its end marker (999 or -9999)"},
      {"a.RWL", "\nA       1901 1 2\n\n", 2, "Series A ends without its end marker (999 or -9999)"},
      {"a.rwl", "A       1901 1.04 999\n", 1, "Expected whole-number values of at most 9 digits"},
      {"a.rwl", "A       1900 1000000000 999\n", 1,
       "Expected whole-number values of at most 9 digits"},
      {"a.rwl", "A       1900 1 2 3 4 5 6 7 8 9 10 11\n", 1,
       "Expected the end marker (999 or -9999) as the 11th value"},
      {"a.rwl", "A       1900 1 999 5\n", 1, "Expected nothing but zeros after the end marker"},
      {"a.rwl", good + "A       19x1 1 999\n", 2, "Expected the year after the series ID"},
      {"a.rwl", good + "        1901 1 999\n", 2, "Expected a series ID in columns 1-8"},
      {"a.rwl", "A       1901\n", 1, "Expected values after the year"},
      {"a.rwl", "A       1901 1 999\nA       1901" + std::string(1100, ' ') + "1 999\n", 2,
       "Line longer than 1024 columns"},
      {"a.rwl", "A       1901 5" + std::string(1025 - 14 - 3, ' ') + "999\n", 1,
       "Line longer than 1024 columns"},
      {"c.crn", c1900 + crnLine("C", 1920, pairs), 2,
       "Expected decade 1910 for chronology C, the one after its last line"},
      {"c.crn", c1900 + crnLine("C", 1915, pairs), 2,
       "Expected a decade (a year ending in 0) in columns 7-10"},
      {"c.crn", c1900 + "C     19x0" + pairs + "\n", 2, "Expected the decade in columns 7-10"},
      {"c.crn", c1900 + crnLine("", 1900, pairs), 2, "Expected a chronology ID in columns 1-6"},
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
    const std::string kind = std::string(c.file).ends_with(".crn") ? "chronology" : "ring-width";
    const std::string heading =
        "\n? Input error in the " + kind + " file, line " + std::to_string(c.line);
    const std::size_t at = r.console.find(heading);
    ASSERT_NE(at, std::string::npos) << r.console;
    const std::size_t end = r.console.find('\n', at + 1);
    const std::string rest = r.console.substr(at + heading.size(), end - at - heading.size());
    if (rest.empty()) {
      runner::expectReport(r.console, c.message);  // the file's error ends the run
    } else {
      EXPECT_TRUE(rest.starts_with(": ") && rest.ends_with(" skipped")) << rest;
    }
    EXPECT_EQ(r.console.compare(end, c.message.size() + 3, "\n? " + c.message), 0) << r.console;
  }
}

}  // namespace
