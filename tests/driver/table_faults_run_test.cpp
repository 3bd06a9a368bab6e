// Tables from real files that once gave a wrong listing with exit status 0 and no word: quotes
// left open, cells a single-precision listing can't hold, N/A in mid-row, empty header names,
// byte-order marks and classic Mac line ends. Each is run as a user would (answers: the table,
// a listing, C, -999, 1, n, x), and no listing may hold a control character but the line feed.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "support/listing_check.h"
#include "support/program.h"

namespace {

struct Outcome {
  int status;
  std::string console;
  std::string listing;
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The name lines of a listing, without their " Input series is: ".
std::vector<std::string> seriesNames(const std::string& listing) {
  const std::string lead = " Input series is: ";
  std::vector<std::string> names;
  std::istringstream lines(listing);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(lead, 0) == 0) names.push_back(line.substr(lead.size()));
  }
  return names;
}

std::string padded(const std::string& name) { return name + std::string(20 - name.size(), ' '); }

class TableFaults : public runner::ScratchTest {
 protected:
  Outcome runTable(const std::string& text, int columns) {
    write("table.txt", text);
    std::remove((scratch / "out.txt").c_str());
    const auto r =
        runner::run(folder, runner::answers("table.txt", "out.txt", columns, "-999", 1, "n", "x"));
    Outcome o{r.status, r.console, read("out.txt")};
    for (std::size_t i = 0; i < o.listing.size(); ++i) {
      const auto byte = static_cast<unsigned char>(o.listing[i]);
      if (byte < 0x20 && byte != '\n') {
        ADD_FAILURE() << "byte " << int{byte} << " at " << i << " of the listing of\n" << text;
        break;
      }
    }
    return o;
  }

  // The run ends with an input error of the table at `line`, and the listing holds no block.
  void expectTableError(const Outcome& o, int line, const std::string& message,
                        const std::string& detailPart, const std::string& text) {
    EXPECT_EQ(o.status, 1) << text << "\n" << o.console;
    const std::string report = "? Input error in the input table, line " + std::to_string(line) +
                               "\n? " + message + "\n? ";
    const std::size_t at = o.console.find(report);
    ASSERT_NE(at, std::string::npos) << text << "\n" << o.console;
    EXPECT_NE(o.console.find(detailPart, at + report.size()), std::string::npos) << o.console;
    runner::expectReport(o.console, message);
    EXPECT_EQ(o.listing, "") << text;
  }
};

// A quote not closed on its line took the data rows after it as names.
TEST_F(TableFaults, QuoteNotClosed) {
  struct Case {
    std::string text;
    int line;
    const char* detail;
  };
  const Case cases[] = {
      {"'Year A B\n1901 1 2\n1902 1 2\n", 1, "'Year A B has no closing ' on its line"},
      {"Year \"A B\n1901 1 2\n1902 1 2\n", 1, "\"A B has no closing \" on its line"},
      {"Year A\n'B\n1901 1 2\n1902 1 2\n", 2, "on its line"},
      {"Year A 'B\r1901 1 2\r1902 1 2\r", 1, "on its line"},
      {"Year A 'B", 1, "'B has no closing ' before the end of the file"},
  };
  for (const auto& c : cases) {
    expectTableError(runTable(c.text, 3), c.line, "Quote not closed", c.detail, c.text);
  }
}

// A cell that is infinite, or that single precision can't hold, made its series NaN.
TEST_F(TableFaults, CellsTheListingCannotHold) {
  struct Case {
    std::string row;  // the row of 1903, from line 4 on
    int line;
    std::string token;
  };
  const Case cases[] = {
      {"1903 1e39 2.2", 4, "1e39"},          {"1903 1.5 1e308", 4, "1e308"},
      {"1903 Inf 2.2", 4, "Inf"},            {"1903 1.5 -Infinity", 4, "-Infinity"},
      {"1903 Inv 2.2", 4, "Inv"},            {"1903 3.5e38 2.2", 4, "3.5e38"},
      {"1903 2*inf", 4, "inf"},              {"1903 1.5\n-INF", 5, "-INF"},
      {"1903 1.2 1e400", 4, "1e400"},
  };
  for (const auto& c : cases) {
    const std::string text = "Year A B\n1901 1.1 2.0\n1902 1.3 2.4\n" + c.row +
                             "\n1904 1.2 2.1\n1905 1.0 2.6\n1906 1.4 2.3\n";
    expectTableError(runTable(text, 3), c.line, "Number out of range", "\"" + c.token + "\"",
                     text);
  }
}

// Every spelling of a missing value gives the listing and the console of the flag itself; N/A
// once ended the row there, and the cells after it became 0.
TEST_F(TableFaults, MissingValueSpellingsInMidRow) {
  const std::vector<std::string> rows = {
      "1901 1.5 0.8 2.5", "1902 1.2 3.0 2.0", "1903 1.3 3.3 2.1", "1904 1.0 3.1 2.2",
      "1905 1.1 2.9 2.4", "1906 1.4 3.2 2.3", "1907 1.2 3.0 2.6", "1908 0.9 3.4 2.2"};
  struct Case {
    int row;
    std::string cells;      // what stands after the year and the first value
    std::string reference;  // the same cells spelled with the flag
  };
  const Case cases[] = {
      {3, "NaN 2.2", "-999 2.2"},     {3, "nan 2.2", "-999 2.2"},
      {3, "NA 2.2", "-999 2.2"},      {3, "N/A 2.2", "-999 2.2"},
      {3, "n/a,2.2", "-999,2.2"},     {3, "-n/a\t2.2", "-999\t2.2"},
      {3, "2*N/A", "-999 -999"},      {3, "-999.00 2.2", "-999 2.2"},
      {3, "-9.99E2 2.2", "-999 2.2"}, {0, "N/A 2.5", "-999 2.5"},  // the first row
  };
  for (const auto& c : cases) {
    std::string text = "Year A B C\n";
    std::string reference = text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const std::string lead = rows[r].substr(0, 9);  // "1904 1.0 "
      text += (static_cast<int>(r) == c.row ? lead + c.cells : rows[r]) + "\n";
      reference += (static_cast<int>(r) == c.row ? lead + c.reference : rows[r]) + "\n";
    }
    const Outcome want = runTable(reference, 4);
    ASSERT_EQ(want.status, 0) << want.console;
    ASSERT_EQ(seriesNames(want.listing).size(), 3u);
    const Outcome got = runTable(text, 4);
    EXPECT_EQ(got.status, 0) << c.cells << "\n" << got.console;
    EXPECT_EQ(got.listing, want.listing) << c.cells;
    EXPECT_EQ(got.console, want.console) << c.cells;
  }
}

// A name the header leaves empty was written as twenty NUL bytes; it is blank.
TEST_F(TableFaults, HeaderNames) {
  struct Case {
    std::string header;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"Year,,B", {"", "B"}},         {"Year, ,B", {"", "B"}},
      {"Year 1* B", {"", "B"}},       {"Year 2*", {"", ""}},
      {"Year A/B C", {"A", ""}},      {"Year / A B", {"", ""}},
      {"Year 2*X", {"X", "X"}},       {"'Year' '' \"B\"", {"", "B"}},
      {"2*Year/B", {"Year", ""}},
  };
  for (const auto& c : cases) {
    const std::string text =
        c.header + "\n1901 1.1 2.0\n1902 1.3 2.4\n1903 0.9 2.2\n1904 1.2 2.1\n1905 1.0 2.6\n";
    const Outcome o = runTable(text, 3);
    ASSERT_EQ(o.status, 0) << c.header << "\n" << o.console;
    const std::vector<std::string> names = seriesNames(o.listing);
    ASSERT_EQ(names.size(), 2u) << c.header;
    for (std::size_t k = 0; k < 2; ++k) EXPECT_EQ(names[k], padded(c.names[k])) << c.header;
  }
}

// LF, CR LF and CR alone end lines alike, and a byte-order mark before the first name is no
// part of it: every file gives the listing and the console of the plain LF file.
TEST_F(TableFaults, LineEnds) {
  const std::string lf =
      "\"Calendar year\",\"Site A\",'Site B'\n1901,1.1,2.0\n1902,1.3,2.4\n1903,0.9,2.2\n"
      "1904,1.2,2.1\n1905,1.0,2.6\n1906,1.4,2.3\n";
  const std::string bom = "\xEF\xBB\xBF";
  const std::string lastCut = lf.substr(0, lf.size() - 1);
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"CR LF", replaced(lf, "\n", "\r\n")},
      {"CR", replaced(lf, "\n", "\r")},
      {"CR, no line end at the end", replaced(lastCut, "\n", "\r")},
      {"mixed", replaced(replaced(lf, "1\n", "1\r"), "2\n", "2\r\n")},
      {"BOM, LF", bom + lf},
      {"BOM, CR LF", bom + replaced(lf, "\n", "\r\n")},
      {"BOM, CR", bom + replaced(lf, "\n", "\r")},
  };
  const Outcome want = runTable(lf, 3);
  ASSERT_EQ(want.status, 0) << want.console;
  ASSERT_EQ(seriesNames(want.listing),
            (std::vector<std::string>{padded("Site A"), padded("Site B")}));
  std::size_t at = 0;
  for (int k = 0; k < 2; ++k) at = runner::checkBlock(want.listing, at, 6, 1901);
  for (const auto& c : cases) {
    const Outcome got = runTable(c.text, 3);
    EXPECT_EQ(got.status, 0) << c.what << "\n" << got.console;
    EXPECT_EQ(got.listing, want.listing) << c.what;
    EXPECT_EQ(got.console, want.console) << c.what;
  }
}

}  // namespace
