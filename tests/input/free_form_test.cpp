#include "input/free_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/text_stream.h"

namespace ringsmooth {
namespace {

using support::TextStream;
constexpr double KEEP = -7777.0;  // a destination an empty item must leave alone
const double INF = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

bool sameNumber(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

struct NumbersCase {
  const char* text;
  std::vector<double> expected;  // one reading of expected.size() items
  bool complete;                 // what the reading returns
};

TEST(FreeFormNumbers, ReadingRules) {
  const NumbersCase cases[] = {
      {"1 2 3\n", {1, 2, 3}, true},
      {"1,2,3", {1, 2, 3}, true},
      {"1 , 2 ,\t3\n", {1, 2, 3}, true},
      {"\t1\t\t2   3", {1, 2, 3}, true},
      {"1\n2\n3\n", {1, 2, 3}, true},                       // continues over lines
      {"\n\n   \n\t\n1 2\n\n3", {1, 2, 3}, true},           // blank lines passed over
      {"1 2 3 4 5\n", {1, 2, 3}, true},                     // extra items ignored
      {"1E2 1e2 1D2 1d-2 -2.5e+1 .5 5. +7", {100, 100, 100, 0.01, -25, 0.5, 5, 7}, true},
      {"inf -Inf NaN NA nonsense iXYZ", {INF, -INF, NaN, NaN, NaN, INF}, true},
      {"3*-999", {-999, -999, -999}, true},
      {"2*7 1", {7, 7, 1}, true},
      {"5*1", {1, 1}, true},                                // surplus repeats discarded
      {"3* 4", {KEEP, KEEP, KEEP, 4}, true},                // r* = r empty items
      {"2*,4", {KEEP, KEEP, 4}, true},
      {"1,,3", {1, KEEP, 3}, true},
      {"1, ,3", {1, KEEP, 3}, true},
      {",2,3", {KEEP, 2, 3}, true},                         // a leading comma is an empty item
      {"1,\n2,\n3", {1, 2, 3}, true},                       // a line end after a comma is a blank
      {"1,\n,3", {1, KEEP, 3}, true},
      {"1\n,2\n", {1, 2}, true},                           // a comma after a line end separates
      {"1 2 /\n9 9 9", {1, 2, KEEP}, true},                 // slash: the rest keeps its contents
      {"1 2/3", {1, 2, KEEP}, true},
      {"/", {KEEP}, true},
      {"1\r\n2\r\n3\r\n", {1, 2, 3}, true},                  // CR LF lines
      {"1\r2 3", {12, 3}, true},                            // a CR is dropped even inside a token
      {"1 2", {1, 2, KEEP}, false},                         // end of input cuts the reading short
      {"", {KEEP}, false},
      {"\n  \n", {KEEP}, false},
  };
  for (const auto& c : cases) {
    TextStream in(c.text);
    FreeFormReader reader(in.get(), FreeFormReader::Kind::File);
    std::vector<double> cells(c.expected.size(), KEEP);
    EXPECT_EQ(reader.readNumbers(cells.data(), static_cast<int>(cells.size()), 1), c.complete)
        << c.text;
    const std::size_t checked = c.complete ? cells.size() : 0;  // a cut reading: no promise
    for (std::size_t i = 0; i < checked; ++i) {
      EXPECT_TRUE(sameNumber(cells[i], c.expected[i]))
          << "\"" << c.text << "\" item " << i << ": " << cells[i];
    }
  }
}

TEST(FreeFormNumbers, EachReadingStartsOnANewLineAndHonoursTheStride) {
  TextStream in("1 2 3 4\n5\n6 7 8\n/ 99\n10 11 12\n");
  FreeFormReader reader(in.get(), FreeFormReader::Kind::File);
  double cells[9];
  for (double& c : cells) c = KEEP;
  ASSERT_TRUE(reader.readNumbers(cells, 3, 3));  // cells 0, 3, 6
  ASSERT_TRUE(reader.readNumbers(cells + 1, 3, 3));
  ASSERT_TRUE(reader.readNumbers(cells + 2, 3, 3));  // "/ 99": nothing filled
  const double expected[9] = {1, 5, KEEP, 2, 6, KEEP, 3, 7, KEEP};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(cells[i], expected[i]) << i;
  ASSERT_TRUE(reader.readNumbers(cells, 3, 1));
  EXPECT_EQ(cells[0], 10);
  EXPECT_EQ(cells[2], 12);
  EXPECT_FALSE(reader.readNumbers(cells, 1, 1));
}

// Cells read from a table take a one-pass road for plain decimals and the general one for the
// rest; both must give strtod's correctly rounded double, bit for bit.
TEST(FreeFormNumbers, TableCellsMatchStrtodExactly) {
  std::mt19937_64 random(99);
  std::vector<std::string> tokens;
  for (int i = 0; i < 100000; ++i) {
    const int digits = 1 + static_cast<int>(random() % 24);
    const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 1));
    std::string token = (random() % 2) ? "-" : "";
    for (int k = 0; k < digits; ++k) {
      if (k == point) token += '.';
      token += static_cast<char>('0' + random() % 10);
    }
    if (random() % 8 == 0) token += "e" + std::to_string(static_cast<int>(random() % 40) - 20);
    tokens.push_back(token);
  }
  std::string text;
  for (const auto& token : tokens) text += token + (random() % 3 ? " " : ",");
  TextStream in(text);
  FreeFormReader reader(in.get(), FreeFormReader::Kind::File);
  std::vector<double> cells(tokens.size());
  ASSERT_TRUE(reader.readNumbers(cells.data(), static_cast<int>(cells.size()), 1));
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const double want = std::strtod(tokens[i].c_str(), nullptr);
    ASSERT_EQ(std::memcmp(&cells[i], &want, sizeof want), 0) << tokens[i];
  }
}

struct ErrorCase {
  const char* text;
  int count;
  const char* message;
  const char* heading;
  const char* detailPart;
};

TEST(FreeFormNumbers, MalformedTokensAreInputErrorsNamingLineAndToken) {
  const ErrorCase cases[] = {
      {"1.2.3", 1, ILLEGAL_NUMERIC, "Input error in the input table, line 1", "\"1.2.3\""},
      {"1 2\n3 abc\n", 4, ILLEGAL_NUMERIC, "Input error in the input table, line 2", "\"abc\""},
      {"\n\n1e+", 1, ILLEGAL_NUMERIC, "Input error in the input table, line 3", "\"1e+\""},
      {"'1'", 1, ILLEGAL_NUMERIC, "Input error in the input table, line 1", "\"'1'\""},
      {"1.5*2", 1, ILLEGAL_NUMERIC, "Input error in the input table, line 1", "\"1.5*2\""},
      {"*5", 1, ILLEGAL_NUMERIC, "Input error in the input table, line 1", "\"*5\""},
      {"0*5", 1, ILLEGAL_NUMERIC, "Input error in the input table, line 1", "repeat count 0"},
      {"2*x", 2, ILLEGAL_NUMERIC, "Input error in the input table, line 1", "\"x\""},
      {"1\r\n2e400", 2, NUMBER_OUT_OF_RANGE, "Input error in the input table, line 2", "2e400"},
      {"-1D400", 1, NUMBER_OUT_OF_RANGE, "Input error in the input table, line 1", "-1D400"},
  };
  for (const auto& c : cases) {
    TextStream in(c.text);
    FreeFormReader reader(in.get(), FreeFormReader::Kind::File);
    double cells[4] = {};
    try {
      reader.readNumbers(cells, c.count, 1);
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const InputError& e) {
      EXPECT_EQ(e.message, c.message) << c.text;
      EXPECT_EQ(e.heading, c.heading) << c.text;
      EXPECT_NE(e.detail.find(c.detailPart), std::string::npos) << c.text << ": " << e.detail;
    }
  }
}

TEST(FreeFormNumbers, ConsoleAnswers) {
  TextStream in("  42 junk\n1.5\n-99.99\n3*\n\n7\n");
  FreeFormReader console(in.get(), FreeFormReader::Kind::Console);
  int whole = 0;
  ASSERT_TRUE(console.readWholeNumber(whole));
  EXPECT_EQ(whole, 42);
  try {
    console.readWholeNumber(whole);
    ADD_FAILURE() << "a decimal number taken as a whole number";
  } catch (const InputError& e) {
    EXPECT_EQ(e.heading, "Input error in a console answer");
    EXPECT_EQ(e.message, ILLEGAL_NUMERIC);
    EXPECT_NE(e.detail.find("\"1.5\""), std::string::npos);
  }
  float flag = 0;
  ASSERT_TRUE(console.readSingle(flag));
  EXPECT_EQ(flag, -99.99f);
  ASSERT_TRUE(console.readWholeNumber(whole));  // 3* is three empty items: unchanged
  EXPECT_EQ(whole, 42);
  ASSERT_TRUE(console.readWholeNumber(whole));  // the empty line is passed over
  EXPECT_EQ(whole, 7);
  EXPECT_FALSE(console.readWholeNumber(whole));
}

// Whatever a console reading leaves of its line, the stream is positioned just after that
// line, so that another routine can take the next line from the same FILE*.
TEST(FreeFormConsole, NeverReadsAheadOfTheLineInUse) {
  TextStream in("5 6 7\nnext line\n\n12\nlast\n");
  FreeFormReader console(in.get(), FreeFormReader::Kind::Console);
  int value = 0;
  ASSERT_TRUE(console.readWholeNumber(value));
  char line[32];
  ASSERT_NE(std::fgets(line, sizeof line, in.get()), nullptr);
  EXPECT_STREQ(line, "next line\n");
  ASSERT_TRUE(console.readWholeNumber(value));
  EXPECT_EQ(value, 12);
  ASSERT_NE(std::fgets(line, sizeof line, in.get()), nullptr);
  EXPECT_STREQ(line, "last\n");
}

TEST(FreeFormConsole, AnswerLinesLongerThanItsBuffer) {
  // The number straddles the end of the first 4096-byte piece of the line.
  const std::string longLine = std::string(4093, ' ') + "-1.5e2 " + std::string(9000, 'x') + "\n";
  TextStream in(longLine + "after\n");
  FreeFormReader console(in.get(), FreeFormReader::Kind::Console);
  float value = 0;
  ASSERT_TRUE(console.readSingle(value));
  EXPECT_EQ(value, -150.0f);
  char line[16];
  ASSERT_NE(std::fgets(line, sizeof line, in.get()), nullptr);
  EXPECT_STREQ(line, "after\n");
}

TEST(FreeFormText, LinesAreCutOrBlankPadded) {
  TextStream in("short\r\n\n0123456789ABCDEFGHIJ\nno line end");
  FreeFormReader reader(in.get(), FreeFormReader::Kind::Console);
  char field[10];
  const char* expected[] = {"short     ", "          ", "0123456789", "no line en"};
  for (const char* want : expected) {
    ASSERT_TRUE(reader.readText(field, 10));
    EXPECT_EQ(std::string(field, 10), want);
  }
  EXPECT_FALSE(reader.readText(field, 10));
}

struct NamesCase {
  const char* text;
  std::vector<std::string> expected;  // 6-character fields; "~" marks one left unchanged
};

TEST(FreeFormNames, QuotedUnquotedRepeatedAndEmptyNames) {
  const NamesCase cases[] = {
      {"Year A B", {"Year  ", "A     ", "B     "}},
      {"Year\nA\n\nB\r\n", {"Year  ", "A     ", "B     "}},
      {"'Site A' \"B,C/D\" 'it''s'", {"Site A", "B,C/D ", "it's  "}},
      {"\"say \"\"hi\"\"\" x y", {"say \"h", "x     ", "y     "}},
      {"LongerThanSix Z Q", {"Longer", "Z     ", "Q     "}},
      {"2*X Y", {"X     ", "X     ", "Y     "}},
      {"2*'a b' c", {"a b   ", "a b   ", "c     "}},
      {"5*R", {"R     ", "R     ", "R     "}},
      {"2* c", {"~", "~", "c     "}},
      {"a*b 12 x", {"a*b   ", "12    ", "x     "}},  // not repeats: names as written
      {",B,C", {"~", "B     ", "C     "}},
      {"A / B C", {"A     ", "~", "~"}},
      {"'' B C", {"      ", "B     ", "C     "}},
      {"'abc def\nB C", {"abc de", "B     ", "C     "}},  // unclosed: ends with its line
      {"'x'y z", {"x     ", "y     ", "z     "}},         // a closing mark ends the name
  };
  for (const auto& c : cases) {
    TextStream in(c.text);
    FreeFormReader reader(in.get(), FreeFormReader::Kind::File);
    char names[3 * 6];
    std::memset(names, '~', sizeof names);
    ASSERT_TRUE(reader.readNames(names, 3, 6)) << c.text;
    for (int i = 0; i < 3; ++i) {
      const std::string got(names + i * 6, 6);
      if (c.expected[i] == "~") {
        EXPECT_EQ(got, "~~~~~~") << c.text << " name " << i;
      } else {
        EXPECT_EQ(got, c.expected[i]) << c.text << " name " << i;
      }
    }
  }
}

TEST(FreeFormNames, EndOfInputBeforeTheLastName) {
  TextStream in("Year A\n");
  FreeFormReader reader(in.get(), FreeFormReader::Kind::File);
  char names[3 * 4];
  EXPECT_FALSE(reader.readNames(names, 3, 4));
  const InputError e = reader.error(READ_PAST_END);
  EXPECT_EQ(e.heading, "Input error in the input table, line 1");
}

// A file reader streams through a 1 MiB buffer: tokens that straddle a refill, and lines far
// longer than the buffer, read exactly as short ones do.
constexpr std::size_t BUFFER = std::size_t{1} << 20;

TEST(FreeFormStreaming, TokensAcrossTheBufferBoundary) {
  const std::string tokens[] = {"-1.25E+03", "2*4.5", "1d-2", "'quoted name'"};
  for (std::size_t back = 0; back <= 12; ++back) {
    for (int t = 0; t < 3; ++t) {
      std::string text(BUFFER - back, ' ');
      text += tokens[t] + "\r\n8\n";
      TextStream in(text);
      FreeFormReader reader(in.get(), FreeFormReader::Kind::File);
      double cells[2] = {KEEP, KEEP};
      ASSERT_TRUE(reader.readNumbers(cells, 2, 1)) << back << " " << tokens[t];
      const double expected[3][2] = {{-1250, 8}, {4.5, 4.5}, {0.01, 8}};
      EXPECT_EQ(cells[0], expected[t][0]) << back << " " << tokens[t];
      EXPECT_EQ(cells[1], expected[t][1]) << back << " " << tokens[t];
    }
    std::string text(BUFFER - back, ' ');
    text += tokens[3] + " B\n";
    TextStream in(text);
    FreeFormReader reader(in.get(), FreeFormReader::Kind::File);
    char names[2 * 12];
    ASSERT_TRUE(reader.readNames(names, 2, 12));
    EXPECT_EQ(std::string(names, 24), "quoted name B           ") << back;
  }
}

TEST(FreeFormStreaming, LinesLongerThanTheBuffer) {
  // One line of 400,000 numbers (about 3 MiB), read whole; then its successor.
  std::string text;
  const int count = 400000;
  for (int i = 0; i < count; ++i) text += std::to_string(i % 1000) + ".5 ";
  text += "\n";
  // A line whose rest, 3 MiB of other items, must be discarded without being stored.
  text += "1 2 ";
  for (int i = 0; i < 300000; ++i) text += "junk,99 ";
  text += "\n3 4\n";
  TextStream in(text);
  FreeFormReader reader(in.get(), FreeFormReader::Kind::File);
  std::vector<double> cells(count, KEEP);
  ASSERT_TRUE(reader.readNumbers(cells.data(), count, 1));
  for (int i = 0; i < count; ++i) ASSERT_EQ(cells[i], (i % 1000) + 0.5) << i;
  double pair[2];
  ASSERT_TRUE(reader.readNumbers(pair, 2, 1));
  EXPECT_EQ(pair[1], 2);
  ASSERT_TRUE(reader.readNumbers(pair, 2, 1));
  EXPECT_EQ(pair[0], 3);
  EXPECT_EQ(pair[1], 4);
  EXPECT_EQ(reader.lineNumber(), 3);
}

TEST(FreeFormStreaming, OverlongTokenIsAnErrorWhereverItLies) {
  for (std::size_t lead : {std::size_t{0}, BUFFER - 100}) {
    std::string text(lead, ' ');
    text += std::string(5000, '7') + "\n";
    TextStream in(text);
    FreeFormReader reader(in.get(), FreeFormReader::Kind::File);
    double cell = 0;
    try {
      reader.readNumbers(&cell, 1, 1);
      ADD_FAILURE() << "no error for an overlong token after " << lead;
    } catch (const InputError& e) {
      EXPECT_EQ(e.message, ILLEGAL_NUMERIC);
      EXPECT_NE(e.detail.find("longer than 1024"), std::string::npos) << e.detail;
    }
  }
}

}  // namespace
}  // namespace ringsmooth
