// Batch runs as a user meets them: the same listings as the dialogue's, pipes, several tables,
// output names, notes on standard error and plots as files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/program.h"

namespace {

using runner::answers;

const std::string SAMPLE = runner::readFile(RINGSMOOTH_SOURCE_DIR "/examples/sample.txt");

// Trimmed ends under a flag a float can't hold, a gap, NaN cells, a constant series, a series of
// one value, values too wide for the listing.
const std::string EDGE_TABLE =
    "Year Full LeadTrail Const One Gappy NaNs Big\n"
    "1901 1.5 -99.99 2.0 -99.99 1.0 NaN 12000\n"
    "1902 1.7 -99.99 2.0 -99.99 -99.99 1.0 -15000\n"
    "1903 1.1 0.9 2.0 3.5 1.4 2.0 9999.5\n"
    "1904 1.3 0.8 2.0 -99.99 -99.99 3.0 -999.9995\n"
    "1905 1.9 1.2 2.0 -99.99 1.8 NaN 0.0005\n"
    "1906 1.2 1.1 2.0 -99.99 1.1 4.0 -0.0005\n"
    "1907 1.0 -99.99 2.0 -99.99 1.3 5.0 1e6\n"
    "1908 1.4 -99.99 2.0 -99.99 1.6 NaN 3\n";

class BatchRun : public runner::ScratchTest {
 protected:
  runner::Result batch(const std::vector<std::string>& arguments, const std::string& input = "") {
    runner::Options o;
    o.arguments = arguments;
    o.standardInput = input;
    return runner::run(folder, o);
  }
};

// Every line of `text` with `prefix` taken off its start where it has it.
std::string withoutPrefix(const std::string& text, const std::string& prefix) {
  std::string out;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    end = end == std::string::npos ? text.size() : end + 1;
    const std::string line = text.substr(at, end - at);
    out += line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : line;
    at = end;
  }
  return out;
}

// The options equivalent to the dialogue's answers give the dialogue's listing, byte for byte,
// and with -v the dialogue's echo on standard error.
TEST_F(BatchRun, ListingsAreTheDialoguesByteForByte) {
  write("sample.txt", SAMPLE);
  write("edge.txt", EDGE_TABLE);
  const struct {
    const char* table;
    int columns;
    const char* flag;
    int cutoff;
    bool normalize;
  } cases[] = {
      {"sample.txt", 5, "-999", 30, false}, {"sample.txt", 5, "-999", 1, true},
      {"sample.txt", 3, "-999", 7, false},  {"sample.txt", 5, "-999", 4990, false},
      {"edge.txt", 8, "-99.99", 2, false},  {"edge.txt", 8, "-99.99", 3, true},
      {"edge.txt", 8, "NaN", 1, false},     {"edge.txt", 8, "-999", 5, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.table) + " cutoff " + std::to_string(c.cutoff));
    const auto dialogue = runner::run(folder, answers(c.table, "dialogue.lst", c.columns, c.flag,
                                                      c.cutoff, c.normalize ? "y" : "n", "x"));
    std::vector<std::string> options = {"-c", std::to_string(c.cutoff), "-m", c.flag, "-v",
                                        "-o", "batch.lst", c.table};
    if (c.normalize) options.push_back("-n");
    if (c.columns != 8 && c.columns != 5) options.push_back("--columns=" + std::to_string(c.columns));
    std::remove((scratch / "batch.lst").c_str());
    const auto r = batch(options);
    EXPECT_EQ(r.status, dialogue.status) << r.errors;
    EXPECT_EQ(r.console, "");
    if (r.status == 3) {  // a batch table fails before its listing is made
      EXPECT_FALSE(has("batch.lst"));
      continue;
    }
    EXPECT_EQ(read("batch.lst"), read("dialogue.lst"));
    // The dialogue's console after its last question is the echo and the notes (a run stopped
    // by a series too long for the spline says so in its own words).
    if (r.status != 0) continue;
    const std::string lastQuestion = runner::prompt("Maximum x-axis range for all plots? y/n");
    const std::size_t echo = dialogue.console.find(lastQuestion);
    ASSERT_NE(echo, std::string::npos);
    // The note on series shorter than the cutoff is the batch run's alone.
    std::string errors = withoutPrefix(r.errors, "ringsmooth: " + std::string(c.table) + ":");
    const std::size_t shortNote = errors.find(" shorter than the cutoff (");
    if (shortNote != std::string::npos) errors.erase(errors.rfind('\n', shortNote) + 1);
    EXPECT_EQ(errors, dialogue.console.substr(echo + lastQuestion.size()));
  }
}

// A Tucson file is read as such by its name, or by --input-format whatever its name; a batch run
// lists it as the dialogue does.
TEST_F(BatchRun, TucsonFilesByNameOrByOption) {
  const std::string rwl = runner::readFile(RINGSMOOTH_SOURCE_DIR "/tests/input/tucson/ca533.rwl");
  write("ca533.rwl", rwl);
  write("ca533.dat", rwl);
  runner::run(folder, answers("ca533.rwl", "dialogue.lst", 1, "0", 30, "n", "x"));
  ASSERT_NE(read("dialogue.lst"), "");
  const struct {
    std::vector<std::string> arguments;
  } cases[] = {{{"-c", "30", "-o", "batch.lst", "ca533.rwl"}},
               {{"-c", "30", "-o", "batch.lst", "--input-format=rwl", "ca533.dat"}}};
  for (const auto& c : cases) {
    const auto r = batch(c.arguments);
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(read("batch.lst"), read("dialogue.lst")) << c.arguments.back();
    EXPECT_NE(r.errors.find(": Tucson ring-width file: 34 series, years 626 to 1983"),
              std::string::npos)
        << r.errors;
  }
  // Read as a table, the same file is no table.
  EXPECT_EQ(batch({"-c", "30", "-o", "x.lst", "--input-format=table", "ca533.rwl"}).status, 1);
}

// Standard input to standard output: a pipe. Without -v nothing but the listing appears, and on
// standard error the notes of the series whose gaps were filled.
TEST_F(BatchRun, StandardInputToStandardOutput) {
  write("sample.txt", SAMPLE);
  runner::run(folder, answers("sample.txt", "dialogue.lst", 5, "-999", 30, "n", "x"));
  const auto r = batch({"-c30", "-o", "-", "-"}, "sample.txt");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.console, read("dialogue.lst"));
  EXPECT_EQ(r.errors,
            "ringsmooth: standard input: 2 series have years filled with the series mean, the "
            "first PiceaAbies_B (series 2) in 1907\n");
}

// Each table is read and written whole, in order; a table that fails gets its report, naming
// it, and the others go on; the status is that of the first failure.
TEST_F(BatchRun, SeveralTablesGoOnPastAFailure) {
  write("a.txt", SAMPLE);
  write("bad.txt", "Year A\n1901 1.5\n1902 x\n");
  write("long.txt", "Year A\n" + [] {
    std::string rows;
    for (int y = 1; y <= 9999; ++y) rows += std::to_string(y) + " " + std::to_string(y % 7) + "\n";
    return rows;
  }());
  write("b.txt", SAMPLE);
  const struct {
    std::vector<std::string> tables;
    int status;
    const char* closing;  // the run's last line: tables read, series listed and skipped, failed
  } cases[] = {{{"a.txt", "bad.txt", "long.txt", "b.txt"}, 1,
                "3 of 4 tables read, 8 series listed, 0 series skipped, 2 tables failed (the "
                "first bad.txt)"},
               {{"long.txt", "bad.txt", "a.txt"}, 3, "2 of 3 tables read, 4 series listed"},
               {{"a.txt", "missing.txt"}, 1, "1 of 2 tables read, 4 series listed, 0 series "
                                             "skipped, 1 table failed (the first missing.txt)"},
               {{"a.txt", "b.txt"}, 0, "2 of 2 tables read, 8 series listed, 0 series skipped, "
                                       "0 tables failed; the outputs are beside their tables.\n"}};
  runner::run(folder, answers("a.txt", "expected.lst", 5, "-999", 30, "n", "x"));
  for (const auto& c : cases) {
    for (const char* old : {"a.lst", "b.lst", "bad.lst", "long.lst"}) std::remove((scratch / old).c_str());
    std::vector<std::string> arguments = {"-c", "30"};
    arguments.insert(arguments.end(), c.tables.begin(), c.tables.end());
    const auto r = batch(arguments);
    SCOPED_TRACE(c.tables.front() + " ...");
    EXPECT_EQ(r.status, c.status) << r.errors;
    EXPECT_EQ(r.console, "");
    EXPECT_NE(r.errors.find("\nringsmooth: " + std::string(c.closing)), std::string::npos)
        << r.errors;
    for (const std::string& table : c.tables) {
      const std::string stem = table.substr(0, table.size() - 4);
      if (stem == "a" || stem == "b") {
        EXPECT_EQ(read(stem + ".lst"), read("expected.lst")) << stem;
      }
    }
    if (std::count(c.tables.begin(), c.tables.end(), "bad.txt") > 0) {
      EXPECT_NE(r.errors.find("? bad.txt: Input error in the input table, line 3\n"),
                std::string::npos)
          << r.errors;
    }
    if (std::count(c.tables.begin(), c.tables.end(), "long.txt") > 0) {
      EXPECT_NE(r.errors.find("? long.txt: The cutoff is too long for series 1 (A), the "
                              "longest\n? 9999 years and 30 predicted at each end are more "
                              "than the spline's 10000\n"),
                std::string::npos)
          << r.errors;
      EXPECT_FALSE(has("long.lst"));
    }
  }
}

TEST_F(BatchRun, OutputsAreNamedAfterTheirTables) {
  ASSERT_EQ(::mkdir((scratch / "in").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir((scratch / "out").c_str(), 0777), 0);
  write("in/site.a.txt", SAMPLE);
  ASSERT_EQ(::mkdir((scratch / "in/deep").c_str(), 0777), 0);
  write("in/plain", SAMPLE);
  write("in/deep/site.txt", SAMPLE);
  const struct {
    std::vector<std::string> options;
    std::vector<std::string> made;
  } cases[] = {
      {{"in/site.a.txt", "in/plain"}, {"in/site.a.lst", "in/plain.lst"}},
      {{"-d", "out", "in/site.a.txt"}, {"out/site.a.lst"}},
      {{"-d", "out", "in/deep/site.txt", "in/plain"}, {"out/site.lst", "out/plain.lst"}},
      {{"-fcsv", "-d", "out/", "in/plain"}, {"out/plain.spline.csv"}},
      {{"-f", "csv", "in/site.a.txt"}, {"in/site.a.spline.csv"}},
      {{"-o", "out/chosen.txt", "in/plain"}, {"out/chosen.txt"}},
      // A chronology beside the output, after its name without extension (and ".spline").
      {{"--chronology=crn,csv", "-d", "out", "in/site.a.txt"},
       {"out/site.a.lst", "out/site.a.crn", "out/site.a.chron.csv"}},
      {{"-fcsv", "--chronology=csv", "in/plain"}, {"in/plain.spline.csv", "in/plain.chron.csv"}},
      {{"-fcsv", "-o", "out/x.spline.csv", "--chronology=crn", "in/plain"},
       {"out/x.spline.csv", "out/x.crn"}},
      {{"-o", "-", "--chronology=crn", "in/site.a.txt"}, {"in/site.a.crn"}},
      // The statistics and the index table beside it too; the index table alone is the output.
      {{"--stats", "-f", "listing,rwi", "-d", "out", "in/site.a.txt"},
       {"out/site.a.lst", "out/site.a.stats.csv", "out/site.a.series.csv", "out/site.a.rwi.csv"}},
      {{"-f", "rwi", "-o", "out/indices.csv", "in/plain"}, {"out/indices.csv"}},
      {{"--chronology=csv,crn", "in/plain"}, {"in/plain.lst", "in/plain.crn", "in/plain.chron.csv"}},
      // An output named only by its extension is a name: the second format goes after it.
      {{"-f", "listing,csv", "-o", "out/.lst", "in/plain"}, {"out/.lst", "out/.lst.spline.csv"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"-c", "10"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const auto r = batch(arguments);
    EXPECT_EQ(r.status, 0) << r.errors;
    for (const std::string& made : c.made) {
      EXPECT_TRUE(has(made)) << made;
      std::remove((scratch / made).c_str());
    }
  }
}

// The output may not replace its own table, and a failed table leaves the table untouched.
TEST_F(BatchRun, AnOutputOverItsTableIsRefused) {
  write("t.lst", SAMPLE);
  const auto r = batch({"-c", "30", "t.lst"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.errors.find("? t.lst: Cannot create the output listing \"t.lst\"\n"
                          "? It is the input file; the table would be overwritten\n"),
            std::string::npos)
      << r.errors;
  EXPECT_EQ(read("t.lst"), SAMPLE);
  // The same for a chronology named after its own .crn table, before the listing is made.
  write("t.crn", SAMPLE);
  const auto crn = batch({"-c", "30", "--chronology=crn", "t.crn"});
  EXPECT_EQ(crn.status, 1);
  EXPECT_NE(crn.errors.find("? t.crn: Cannot create the chronology \"t.crn\"\n"), std::string::npos)
      << crn.errors;
  EXPECT_EQ(read("t.crn"), SAMPLE);
}

// Without --columns a table has as many columns as its header's first line names.
TEST_F(BatchRun, ColumnsDefaultToTheNamesOfTheFirstLine) {
  const struct {
    const char* header;
    const char* columns;  // "" for the default
    const char* namesListed;
  } cases[] = {
      {"Year A B", "", "AB"},
      {"Year,'Site A, upper',B", "", "Site A, upperB"},
      {"Year 2*S", "", "SS"},
      {"Year A B / comment", "", "AB"},
      {"Year A B", "--columns=2", "A"},
      {"\xEF\xBB\xBF\"Calendar year\",\"Site A\",B", "", "Site AB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    write("t.txt", std::string(c.header) + "\n1901 1 5\n1902 2 4\n1903 4 4\n1904 3 6\n1905 5 5\n");
    write("mac.txt", std::string(c.header) + "\r1901 1 5\r1902 2 4\r1903 4 4\r1904 3 6\r1905 5 5\r");
    for (const char* table : {"t.txt", "mac.txt"}) {
      std::vector<std::string> arguments = {"-c", "2", "-o", "-", table};
      if (c.columns[0] != '\0') arguments.push_back(c.columns);
      const auto r = batch(arguments);
      EXPECT_EQ(r.status, 0) << r.errors;
      std::string names;
      for (std::size_t at = 0; (at = r.console.find(" Input series is: ", at)) != std::string::npos;) {
        at += 18;
        std::string name = r.console.substr(at, 20);
        names += name.erase(name.find_last_not_of(' ') + 1);
      }
      EXPECT_EQ(names, c.namesListed) << table;
    }
  }
}

// Tables the batch run once read otherwise than the dialogue. Without --columns, and with the
// flag given to --missing as it is typed at the dialogue, each gives the dialogue's listing and
// status, or, where the header's first line and the first data row disagree, a report with both
// counts and no listing. `listed` is a piece the listing must hold.
TEST_F(BatchRun, ReaderCornersReadAsTheDialogueReads) {
  const std::string rows = "1902 1.7 2.1\n1903 1.1 2.4\n1904 1.3 2.2\n1905 1.9 2.0\n";
  const std::string ab = "Year A B\n";
  const struct {
    std::string table;
    int columns;       // the dialogue's answer
    const char* flag;  // the dialogue's answer, and --missing
    const char* report;
    const char* listed;
  } cases[] = {
      {"Year Temp/Precip Site2\n1901 1 2\n" + rows, 3, "-999",
       "? t.txt: Input error in the input table, line 2\n? The header's first line names 2 "
       "columns, the first data row holds 3 cells\n? give the number of columns with --columns\n",
       ""},
      {"\n \t\n" + ab + "1901 1 2\n" + rows, 3, "-999", "", "Input series is: B"},
      {"Year 2*'Site A'\n1901 1 2\n" + rows, 3, "-999", "", "Input series is: Site A    "},
      {"Year 'it''s' B\n1901 1 2\n" + rows, 3, "-999", "", "Input series is: it's      "},
      {ab + "1901 1.00000005960464478 2\n" + rows, 3, "1.00000005960464478", "",
       "resids\n 1902   1.700"},
      {ab + "1901 3.4028235677973366e38 2\n" + rows, 3, "-999", "", "resids\n 1901********"},
      {ab + "1901 N" + std::string(1 << 20, '/') + "\n" + rows, 3, "-999",
       "? t.txt: Input error in the input table, line 2\n? Illegal character in numeric input\n",
       ""},
      {ab + "1901 -999 2\n" + rows, 3, " -999 ", "", "resids\n 1902   1.700"},
      {ab + "1901 -999 2\n" + rows, 3, "-999,", "", "resids\n 1902   1.700"},
      {ab + "1901 1.5 /\n" + rows, 3, "-999", "", "resids\n 1901   0.000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    write("t.txt", c.table);
    for (const char* old : {"dialogue.lst", "batch.lst"}) std::remove((scratch / old).c_str());
    const auto dialogue =
        runner::run(folder, answers("t.txt", "dialogue.lst", c.columns, c.flag, 2, "n", "x"));
    const auto r = batch({"-c", "2", "-m", c.flag, "-o", "batch.lst", "t.txt"});
    if (c.report[0] != '\0') {
      EXPECT_EQ(r.status, 1);
      EXPECT_NE(r.errors.find(c.report), std::string::npos) << r.errors;
      EXPECT_EQ(read("batch.lst"), "");
      continue;
    }
    EXPECT_EQ(r.status, dialogue.status) << r.errors;
    EXPECT_EQ(read("batch.lst"), read("dialogue.lst"));
    EXPECT_NE(read("batch.lst").find(c.listed), std::string::npos) << read("batch.lst");
  }
}

// Plots go to files: one PDF per table with a page per series by default, a file per series on
// png and svg; each file is noted on standard error.
TEST_F(BatchRun, PlotsGoToFiles) {
  write("sample.txt", SAMPLE);
  const struct {
    std::vector<std::string> options;
    std::vector<std::string> files;
    int pages;  // of the PDF
  } cases[] = {
      {{"-p", "listed"}, {"sample.pdf"}, 4},
      {{"--plots=widest", "-o", "result.txt"}, {"result.pdf"}, 4},
      {{"-p", "listed", "--plot-device=svg"},
       {"sample-1.svg", "sample-2.svg", "sample-3.svg", "sample-4.svg"}, 0},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"-c", "30", "sample.txt"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const auto r = batch(arguments);
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(r.console, "");
    for (const std::string& file : c.files) {
      EXPECT_TRUE(has(file)) << file;
      EXPECT_NE(r.errors.find(c.pages > 0 ? "ringsmooth: sample.txt: Plots written to"
                                          : "ringsmooth: sample.txt: 4 plot files written, the "
                                            "first sample-1.svg\n"),
                std::string::npos)
          << r.errors;
      if (c.pages > 0) {
        const std::string pdf = read(file);
        int pages = 0;
        for (std::size_t at = 0; (at = pdf.find("/Type /Page", at)) != std::string::npos; ++at) {
          if (pdf.compare(at, 12, "/Type /Pages") != 0) ++pages;
        }
        EXPECT_EQ(pages, c.pages) << file;
        EXPECT_NE(r.errors.find(file + " (" + std::to_string(c.pages) + " pages)"),
                  std::string::npos)
            << r.errors;
      }
      std::remove((scratch / file).c_str());
    }
  }
}

}  // namespace
