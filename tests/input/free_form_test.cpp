#include "input/free_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
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
      // An infinity or a NaN runs to a blank, comma or line end, slashes and all.
      {"N/A 1 n/a,-n/a/x 2*N/A Inf/ 2", {NaN, 1, NaN, NaN, NaN, NaN, INF, 2}, true},
      {"1 N /\n9", {1, NaN, KEEP}, true},                   // a slash after a blank still ends
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
      {"1\r2 3", {1, 2}, true},                             // a CR alone ends a line
      {"1\r\r\n2 3", {1, 2}, true},                         // CR, then CR LF: an empty line
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
      // Characters just past '9' are no digits, on the one-pass road for plain decimals too.
      {"1: 2\n", 2, ILLEGAL_NUMERIC, "Input error in the input table, line 1", "\"1:\""},
      {"9:5,2\n", 2, ILLEGAL_NUMERIC, "Input error in the input table, line 1", "\"9:5\""},
      {"1;\t2\n", 2, ILLEGAL_NUMERIC, "Input error in the input table, line 1", "\"1;\""},
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

// Table cells pass through single precision later: any cell whose text rounds to a float
// infinity is refused, from 2^128 - 2^103 up. Just below it, a text whose double is that limit
// rounds to FLT_MAX and is FLT_MAX as a cell. The general reading of doubles keeps such values.
TEST(FreeFormNumbers, CellsBeyondSinglePrecisionAreRefused) {
  const double limit = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
  char limitText[40];
  char belowText[40];
  std::snprintf(limitText, sizeof limitText, "%.17g", limit);
  std::snprintf(belowText, sizeof belowText, "%.17g", std::nextafter(limit, 0.0));
  const double below = std::nextafter(limit, 0.0);
  ASSERT_EQ(static_cast<float>(below), std::numeric_limits<float>::max());
  struct Case {
    std::string text;
    bool refused;
    double value;  // what readNumbers gives, and readCells when it accepts
    std::optional<double> cell = std::nullopt;  // what readCells gives, if not `value`
  };
  const double most = std::numeric_limits<float>::max();
  const Case cases[] = {
      {limitText, false, limit, most},
      {std::string("-") + limitText, false, -limit, -most},
      {"340282356779733661637539395458142568448", true, limit},
      {"3.40282356779733661637539395458142568449e38", true, limit},
      {belowText, false, below},
      {"-3.4e38", false, -3.4e38},
      {"1e39", true, 1e39},
      {"1e308", true, 1e308},
      {"Inf", true, INF},
      {"-Infinity", true, -INF},
      {"Inv", true, INF},
      {"2*inf", true, INF},
      {"NaN", false, NaN},
      {"n/a", false, NaN},
      {"1e-400", false, 0.0},
  };
  for (const auto& c : cases) {
    const std::string text = "1 2\n" + c.text + "\n";  // the cell on line 2
    double general[3] = {KEEP, KEEP, KEEP};
    TextStream plain(text);
    FreeFormReader numbers(plain.get(), FreeFormReader::Kind::File);
    ASSERT_TRUE(numbers.readNumbers(general, 3, 1)) << c.text;
    EXPECT_TRUE(sameNumber(general[2], c.value)) << c.text << ": " << general[2];

    double cells[3] = {KEEP, KEEP, KEEP};
    TextStream table(text);
    FreeFormReader reader(table.get(), FreeFormReader::Kind::File);
    try {
      ASSERT_TRUE(reader.readCells(cells, 3, 1)) << c.text;
      EXPECT_FALSE(c.refused) << c.text << " accepted as " << cells[2];
      EXPECT_TRUE(sameNumber(cells[2], c.cell.value_or(c.value))) << c.text << ": " << cells[2];
    } catch (const InputError& e) {
      EXPECT_TRUE(c.refused) << c.text << ": " << e.detail;
      EXPECT_EQ(e.message, NUMBER_OUT_OF_RANGE) << c.text;
      EXPECT_EQ(e.heading, "Input error in the input table, line 2") << c.text;
      const std::string value = c.text.substr(c.text.find('*') + 1);
      EXPECT_NE(e.detail.find("\"" + value + "\""), std::string::npos) << e.detail;
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
      {"000002*X Y", {"X     ", "X     ", "Y     "}},   // a count as wide as a name
      {"0000002*X Y Z", {"000000", "Y     ", "Z     "}},  // wider: a name
      {",B,C", {"~", "B     ", "C     "}},
      {"A / B C", {"A     ", "~", "~"}},
      {"'' B C", {"      ", "B     ", "C     "}},
      {"'x'y z", {"x     ", "y     ", "z     "}},         // a closing mark ends the name
      // Cut where a character ends: 'a€€' keeps 'a€'; a byte that is no UTF-8 counts as one.
      {"a\u20AC\u20AC \u20AC\u20AC\u20AC 'xy\u20AC\u20AC'",
       {"a\u20AC  ", "\u20AC\u20AC", "xy\u20AC "}},
      {"abcde\xE9\xE9 X a\u20AC\u20AC\r\n", {"abcde\xE9", "X     ", "a\u20AC  "}},
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

// A quote left open would take the lines after it, data rows and all, as names.
TEST(FreeFormNames, QuoteNotClosedIsAnErrorNamingItsLine) {
  struct Case {
    const char* text;
    const char* heading;
    const char* detailPart;
  };
  const Case cases[] = {
      {"'abc def\nB C\n", "line 1", "beginning 'abc de has no closing ' on its line"},
      {"A\n\"B c\nD\n", "line 2", "\"B c has no closing \" on its line"},
      {"A\r\n'B c\r\nD\r\n", "line 2", "on its line"},
      {"A 'x\ry' B\n", "line 1", "on its line"},  // a CR alone ends the line too
      {"A 'B c", "line 1", "'B c has no closing ' before the end of the file"},
      {"A 'it''", "line 1", "before the end of the file"},  // a doubled mark does not close
      {"A 2*'B\n", "line 1", "on its line"},
  };
  for (const auto& c : cases) {
    TextStream in(c.text);
    FreeFormReader reader(in.get(), FreeFormReader::Kind::File);
    char names[3 * 6];
    try {
      reader.readNames(names, 3, 6);
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const InputError& e) {
      EXPECT_EQ(e.message, QUOTE_NOT_CLOSED) << c.text;
      EXPECT_EQ(e.heading, std::string("Input error in the input table, ") + c.heading) << c.text;
      EXPECT_NE(e.detail.find(c.detailPart), std::string::npos) << c.text << ": " << e.detail;
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

// Line ends, a byte-order mark and a slash inside N/A, wherever the 1 MiB buffer boundary
// falls among them: the same items on the same lines as when the text lies in one buffer.
TEST(FreeFormStreaming, LineEndsAndTokensAcrossTheBufferBoundary) {
  const std::string tails[] = {"\r\n5 6\n", "\r5 6",      "\r\r\n5 6\n",
                               "\n\r\n\r5 6", "\r\n\r\n5\r6", "N/A 6\n"};
  for (const std::string& tail : tails) {
    TextStream whole(tail);
    FreeFormReader reference(whole.get(), FreeFormReader::Kind::File);
    double want[2] = {KEEP, KEEP};
    ASSERT_TRUE(reference.readNumbers(want, 2, 1));
    const long wantLine = reference.lineNumber();
    for (std::size_t k = 0; k <= tail.size(); ++k) {  // k characters of the tail in buffer one
      TextStream in(std::string(BUFFER - k, ' ') + tail);
      FreeFormReader reader(in.get(), FreeFormReader::Kind::File);
      double got[2] = {KEEP, KEEP};
      ASSERT_TRUE(reader.readNumbers(got, 2, 1)) << k;
      EXPECT_TRUE(sameNumber(got[0], want[0]) && got[1] == want[1]) << k << ": " << got[0];
      EXPECT_EQ(reader.lineNumber(), wantLine) << "tail " << k;
    }
  }
}

// A byte-order mark is skipped at the start of a file only: anywhere else it is text.
TEST(FreeFormStreaming, ByteOrderMarkAtTheStartOfAFile) {
  const std::string bom = "\xEF\xBB\xBF";
  TextStream marked(bom + "\"Cal year\",'Site A'\r\n" + bom + "x\n");
  FreeFormReader reader(marked.get(), FreeFormReader::Kind::File);
  char names[2 * 10];
  ASSERT_TRUE(reader.readNames(names, 2, 10));
  EXPECT_EQ(std::string(names, 20), "Cal year  Site A    ");
  ASSERT_TRUE(reader.readNames(names, 1, 10));
  EXPECT_EQ(std::string(names, 10), bom + "x      ");
  for (const std::string& onlyMark : {bom, bom + "\n"}) {
    TextStream in(onlyMark);
    FreeFormReader empty(in.get(), FreeFormReader::Kind::File);
    double cell = KEEP;
    EXPECT_FALSE(empty.readNumbers(&cell, 1, 1));
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

// A number of `length` characters worth `digit`: zeros, then the digit.
std::string numberOfLength(std::size_t length, char digit) {
  return std::string(length - 1, '0') + digit;
}

// Tokens at the length limit (1,024 characters) and one past it: whole in a buffer, across the
// file buffer's boundary or the console's 4,096-byte pieces, and holding a CR, which in a file
// ends the line (so the token is two numbers on two lines) and at the console is dropped (so
// it does not count). `expected` empty: refused as too long.
TEST(FreeFormStreaming, TokensAtTheLengthLimitWhereverTheyLie) {
  using Kind = FreeFormReader::Kind;
  const std::string n1024 = numberOfLength(1024, '7');
  const std::string n1025 = numberOfLength(1025, '7');
  const std::string n1000 = numberOfLength(1000, '7');
  const std::string n25 = numberOfLength(25, '5');
  const auto withReturn = [](const std::string& n) {
    return n.substr(0, 500) + "\r" + n.substr(500) + "\n";
  };
  const struct {
    const char* label;
    Kind kind;
    std::size_t lead;  // blanks before the text
    std::string text;
    std::vector<double> expected;
    long line;  // of the last number read
  } cases[] = {
      {"1,024 whole", Kind::File, 0, n1024 + "\n", {7}, 1},
      {"1,025 whole", Kind::File, 0, n1025 + "\n", {}, 1},
      {"1,024 across the boundary", Kind::File, BUFFER - 100, n1024 + "\n", {7}, 1},
      {"1,025 across the boundary", Kind::File, BUFFER - 100, n1025 + "\n", {}, 1},
      {"5,000 whole", Kind::File, 0, std::string(5000, '7') + "\n", {}, 1},
      {"5,000 across the boundary", Kind::File, BUFFER - 100, std::string(5000, '7') + "\n", {}, 1},
      {"1,024 ended by CR LF", Kind::File, 0, n1024 + "\r\n5\n", {7, 5}, 2},
      {"1,025 with a CR in it", Kind::File, 0, n1000 + "\r" + n25 + "\n", {7, 5}, 2},
      {"1,025 with a CR LF across the boundary", Kind::File, BUFFER - 1001,
       n1000 + "\r\n" + n25 + "\n", {7, 5}, 2},
      {"console: 1,024 and a CR", Kind::Console, 0, withReturn(n1024), {7}, 1},
      {"console: 1,025 and a CR", Kind::Console, 0, withReturn(n1025), {}, 1},
      {"console: 1,024 across its pieces", Kind::Console, 4000, n1024 + "\n", {7}, 1},
      {"console: 1,025 across its pieces", Kind::Console, 4000, n1025 + "\n", {}, 1},
  };
  for (const auto& c : cases) {
    TextStream in(std::string(c.lead, ' ') + c.text);
    FreeFormReader reader(in.get(), c.kind);
    std::vector<double> cells(std::max<std::size_t>(c.expected.size(), 1), KEEP);
    try {
      EXPECT_TRUE(reader.readNumbers(cells.data(), static_cast<int>(cells.size()), 1)) << c.label;
      EXPECT_FALSE(c.expected.empty()) << c.label << ": accepted";
      if (c.expected.empty()) continue;
      EXPECT_EQ(cells, c.expected) << c.label;
      EXPECT_EQ(reader.lineNumber(), c.line) << c.label;
    } catch (const InputError& e) {
      EXPECT_TRUE(c.expected.empty()) << c.label << ": " << e.detail;
      EXPECT_EQ(e.message, ILLEGAL_NUMERIC) << c.label;
      EXPECT_NE(e.detail.find("longer than 1024"), std::string::npos)
          << c.label << ": " << e.detail;
    }
  }
}

}  // namespace
}  // namespace ringsmooth
