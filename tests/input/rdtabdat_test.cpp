#include "input/rdtabdat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "input/number_token.h"
#include "support/text_stream.h"

namespace ringsmooth {
namespace {

using support::TextStream;

// One run of the reader on a table text, with the column count and flag given as the two
// answer lines "C\nFLAG\n"; the table starts all 0.0.
struct TableRun {
  SeriesTablePtr t = makeSeriesTable();

  TableRun(const std::string& answers, const std::string& table) {
    const std::size_t end = answers.find('\n');
    const std::string flagText = answers.substr(end + 1, answers.size() - end - 2);
    float flag = 0.0f;
    EXPECT_EQ(parseFloat(flagText.data(), flagText.size(), flag), TokenStatus::Ok) << flagText;
    TextStream file(table);
    FreeFormReader tableReader(file.get(), FreeFormReader::Kind::File);
    rdtabdat(tableReader, std::stoi(answers.substr(0, end)), flag, *t);
  }
  std::string name(int k) const { return std::string(t->seriesName[k], NAME_LENGTH); }
  std::vector<double> values(int k) const {
    const double* column = t->values + static_cast<std::ptrdiff_t>(k) * MAX_YEARS;
    return std::vector<double>(column, column + t->yearCount[k]);
  }
};

std::string padded(const std::string& s) { return s + std::string(NAME_LENGTH - s.size(), ' '); }

InputError failure(const std::string& answers, const std::string& table) {
  try {
    TableRun run(answers, table);
  } catch (const InputError& e) {
    return e;
  }
  ADD_FAILURE() << "no input error for answers \"" << answers << "\", table \"" << table << '"';
  return {};
}

TEST(Rdtabdat, ThreeColumnExample) {
  TableRun run("3\n-999\n", "Year A B\n1901 -999 0.5\n1902 1.2 0.7\n1903 1.4 -999\n");
  ASSERT_EQ(run.t->seriesCount, 2);
  EXPECT_EQ(run.name(0), padded("A"));
  EXPECT_EQ(run.t->firstYear[0], 1902);
  EXPECT_EQ(run.t->lastYear[0], 1903);
  EXPECT_EQ(run.values(0), (std::vector<double>{1.2, 1.4}));
  EXPECT_EQ(run.name(1), padded("B"));
  EXPECT_EQ(run.t->firstYear[1], 1901);
  EXPECT_EQ(run.t->lastYear[1], 1902);
  EXPECT_EQ(run.values(1), (std::vector<double>{0.5, 0.7}));
  EXPECT_EQ(run.t->missingFlag, -999.0f);
}

struct SpanCase {
  const char* label;
  const char* flag;
  const char* table;                           // header "Y S", one series
  int firstYear, lastYear;
  std::vector<double> values;
};

TEST(Rdtabdat, SeriesSpans) {
  const SpanCase cases[] = {
      {"run inside", "-999", "Y S\n1 -999\n2 5\n3 6\n4 -999.00\n5 -9.99E2\n", 2, 3, {5, 6}},
      {"no missing", "-999", "Y S\n10 1\n11 2\n12 3\n", 10, 12, {1, 2, 3}},
      {"only last row", "-999", "Y S\n1 -999\n2 -999\n3 8\n", 3, 3, {8}},
      {"only first row", "-999", "Y S\n1 8\n2 -999\n3 -999\n", 1, 1, {8}},
      // A gap inside the span stays, as read, in its place.
      {"interior gap", "-999", "Y S\n1 -999\n2 4\n3 -999\n4 6\n5 -999\n", 2, 4, {4, -999, 6}},
      // NaN cells are missing like the flag.
      {"NaN cells", "-999", "Y S\n1 NA\n2 4\n3 nan\n4 6\n5 NaN\n", 2, 4, {4, NAN, 6}},
      // -99.99 has no exact float: no cell equals the widened flag.
      {"inexact flag", "-99.99", "Y S\n1 -99.99\n2 3\n3 -99.99\n", 1, 3, {-99.99, 3, -99.99}},
      {"fractional years", "-999", "Y S\n12.9 1\n13.1 2\n", 12, 13, {1, 2}},
      {"negative fractional years", "-999", "Y S\n-12.9 1\n-11.2 2\n-10 3\n", -12, -10, {1, 2, 3}},
      // The lowest year an int holds, written as it is and cut toward zero from below.
      {"lowest year", "-999", "Y S\n-2147483648 1\n-2147483647 2\n", -2147483647 - 1,
       -2147483647, {1, 2}},
      {"lowest year cut", "-999", "Y S\n-2147483648.9 1\n-2147483647.5 2\n", -2147483647 - 1,
       -2147483647, {1, 2}},
      {"CR LF", "-999", "Y S\r\n1 1\r\n2 2\r\n", 1, 2, {1, 2}},
      {"empty lines", "-999", "Y S\n\n1 1\n\n  \n2 2\n\n", 1, 2, {1, 2}},
      {"cut last row", "-999", "Y S\n1 1\n2 2\n3", 1, 2, {1, 2}},
      {"extra numbers ignored", "-999", "Y S\n1 1 50 60\n2 2 70\n", 1, 2, {1, 2}},
      {"a row over two lines", "-999", "Y S\n1\n1\n2 2\n", 1, 2, {1, 2}},
  };
  for (const auto& c : cases) {
    TableRun run(std::string("2\n") + c.flag + "\n", c.table);
    ASSERT_EQ(run.t->seriesCount, 1) << c.label;
    EXPECT_EQ(run.t->firstYear[0], c.firstYear) << c.label;
    EXPECT_EQ(run.t->lastYear[0], c.lastYear) << c.label;
    ASSERT_EQ(run.t->yearCount[0], static_cast<int>(c.values.size())) << c.label;
    for (std::size_t i = 0; i < c.values.size(); ++i) {
      const double got = run.values(0)[i];
      EXPECT_TRUE(got == c.values[i] || (std::isnan(got) && std::isnan(c.values[i])))
          << c.label << " position " << i << ": " << got;
    }
  }
}

TEST(Rdtabdat, CutRowIsDroppedAndItsCellsCleared) {
  TableRun run("3\n-999\n", "Y A B\n1 1 2\n2 3");
  ASSERT_EQ(run.t->seriesCount, 2);
  EXPECT_EQ(run.t->yearCount[0], 1);
  // The cut row had put its year 2 and its 3 into row 2 of the first two columns.
  EXPECT_EQ(run.t->values[0 * MAX_YEARS + 1], 0.0);
  EXPECT_EQ(run.t->values[1 * MAX_YEARS + 1], 0.0);
}

TEST(Rdtabdat, FewerColumnsReadThanTheFileHolds) {
  TableRun run("2\n-999\n", "Y A B\n1 10 20\n2 11 21\n");
  ASSERT_EQ(run.t->seriesCount, 1);
  EXPECT_EQ(run.name(0), padded("A"));
  EXPECT_EQ(run.values(0), (std::vector<double>{10, 11}));
}

TEST(Rdtabdat, OneColumnNoRowsAndEmptySeries) {
  TableRun oneColumn("1\n-999\n", "Year\n1901\n1902\n");
  EXPECT_EQ(oneColumn.t->seriesCount, 0);
  TableRun noRows("3\n-999\n", "Year A B\n\n");
  EXPECT_EQ(noRows.t->seriesCount, 0);
  TableRun empty("3\n-999\n", "Y A B\n5 -999 1\n6 NA 2\n");
  ASSERT_EQ(empty.t->seriesCount, 2);
  EXPECT_EQ(empty.t->yearCount[0], 0);
  EXPECT_EQ(empty.t->firstYear[0], 5);
  EXPECT_EQ(empty.values(1), (std::vector<double>{1, 2}));
}

TEST(Rdtabdat, HeaderNames) {
  TableRun longName("3\n-999\n", "Year ABCDEFGHIJKLMNOPQRSTUVWXY 'Site B, upper'\n1 1 2\n");
  EXPECT_EQ(longName.name(0), "ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ(longName.name(1), padded("Site B, upper"));
  // No name for the year column: the first number of the first data line becomes the last
  // name, the rest of that line is discarded and the first row lost.
  TableRun short1("3\n-999\n", "A B\n1901 5 6\n1902 7 8\n");
  ASSERT_EQ(short1.t->seriesCount, 2);
  EXPECT_EQ(short1.name(1), padded("1901"));
  EXPECT_EQ(short1.t->firstYear[0], 1902);
  EXPECT_EQ(short1.values(0), (std::vector<double>{7}));
  // Columns counted (0): the names of the first line that holds any; only the first data row
  // must agree on its first line, later rows may run over several lines.
  TableRun counted("0\n-999\n", "\n Year 'A''s' 2*B / C\n1901 1 2 3\n1902 1 2\n 3\n");
  ASSERT_EQ(counted.t->seriesCount, 3);
  EXPECT_EQ(counted.name(0), padded("A's"));
  EXPECT_EQ(counted.name(2), padded("B"));
  EXPECT_EQ(counted.values(2), (std::vector<double>{3, 3}));
}

struct FailureCase {
  const char* label;
  const char* answers;
  const char* table;
  const char* heading;
  const char* messagePart;
  const char* detailPart;
};

TEST(Rdtabdat, InputErrors) {
  const FailureCase cases[] = {
      {"header short at end of file", "3\n-999\n", "Year A\n",
       "Input error in the input table, line 1", READ_PAST_END, ""},
      {"bad cell", "2\n-999\n", "Y A\n1 1\n2 x2\n", "Input error in the input table, line 3",
       ILLEGAL_NUMERIC, "\"x2\""},
      {"bad year", "2\n-999\n", "Y A\n1 1\nl2 1\n", "Input error in the input table, line 3",
       ILLEGAL_NUMERIC, "\"l2\""},
      {"year skipped", "2\n-999\n", "Y A\n1901 1\n\n1903 1\n",
       "Input error in the input table, line 4", YEARS_NOT_CONSECUTIVE, "1903 follows year 1901"},
      {"year repeated", "2\n-999\n", "Y A\n1901 1\n1901\n 2\n",
       "Input error in the input table, line 3", YEARS_NOT_CONSECUTIVE, "1901 follows year 1901"},
      {"years falling", "2\n-999\n", "Y A\n5 1\n4 1\n", "Input error in the input table, line 3",
       YEARS_NOT_CONSECUTIVE, "4 follows year 5"},
      {"NaN year", "2\n-999\n", "Y A\nNA 1\n", "Input error in the input table, line 2",
       "not a usable whole number", "nan"},
      {"huge year", "2\n-999\n", "Y A\n1 1\n3e9 1\n", "Input error in the input table, line 3",
       "not a usable whole number", "3e+09"},
      {"year below the lowest", "2\n-999\n", "Y A\n-2147483649 1\n",
       "Input error in the input table, line 2", "not a usable whole number", "-2.14748e+09"},
      {"counted, no header", "0\n-999\n", "\n \n", "Input error in the input table, line 2",
       READ_PAST_END, "no header names"},
      {"counted, a slash first", "0\n-999\n", "/ Year A\n1 2\n",
       "Input error in the input table, line 1", "names 0 columns", "--columns"},
      {"counted, 701 names", "0\n-999\n", "Year 700*S\n1 2\n",
       "Input error in the input table, line 1", "names 701 columns", "--columns"},
      {"counted, first row runs on", "0\n-999\n", "Year A B\n\n1901 1\n 2\n",
       "Input error in the input table, line 3", "names 3 columns, the first data row holds 2",
       "--columns"},
      {"counted, first row too long", "0\n-999\n", "Year A\n1901 1,2\n",
       "Input error in the input table, line 2", "names 2 columns, the first data row holds 3",
       "--columns"},
  };
  for (const auto& c : cases) {
    const InputError e = failure(c.answers, c.table);
    EXPECT_EQ(e.heading, c.heading) << c.label;
    EXPECT_NE(e.message.find(c.messagePart), std::string::npos) << c.label << ": " << e.message;
    EXPECT_NE(e.detail.find(c.detailPart), std::string::npos) << c.label << ": " << e.detail;
  }
}

// The capacities: 700 columns and 10,000 rows fit; one row more is refused.
TEST(Rdtabdat, CapacitiesAreReachedButNeverPassed) {
  std::string header = "Year";
  for (int c = 1; c < MAX_SERIES; ++c) header += " S" + std::to_string(c);
  std::string wide = header + "\n1";
  for (int c = 1; c < MAX_SERIES; ++c) wide += " " + std::to_string(c);
  TableRun widest("700\n-999\n", wide + "\n");
  ASSERT_EQ(widest.t->seriesCount, MAX_SERIES - 1);
  EXPECT_EQ(widest.name(MAX_SERIES - 2), padded("S699"));
  EXPECT_EQ(widest.values(MAX_SERIES - 2), (std::vector<double>{699}));

  std::string tall = "Year A\n";
  for (int r = 0; r < MAX_YEARS; ++r) tall += std::to_string(r) + " " + std::to_string(r) + "\n";
  TableRun tallest("2\n-999\n", tall);
  ASSERT_EQ(tallest.t->yearCount[0], MAX_YEARS);
  EXPECT_EQ(tallest.t->lastYear[0], MAX_YEARS - 1);
  EXPECT_EQ(tallest.values(0)[MAX_YEARS - 1], MAX_YEARS - 1);

  const InputError e = failure("2\n-999\n", tall + "10000 1\n");
  EXPECT_EQ(e.heading, "Input error in the input table, line 10002");
  EXPECT_NE(e.message.find("10000"), std::string::npos) << e.message;
}

}  // namespace
}  // namespace ringsmooth
