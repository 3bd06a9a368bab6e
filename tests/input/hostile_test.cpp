// Hostile tables and answers for the table reader: every one ends in an input error that says
// what and where, or in the result the reading rules give; none may crash, hang or store beyond
// the table.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "driver/dialogue.h"
#include "input/rdtabdat.h"
#include "support/text_stream.h"

namespace ringsmooth {
namespace {

using support::TextStream;

struct FreeTable {
  void operator()(SeriesTable* t) const { std::free(t); }
};

// The table with a guard of poisoned bytes after it: a store beyond the table shows there even
// without the address sanitizer.
struct GuardedTable {
  static constexpr std::size_t GUARD = 4096;
  std::unique_ptr<SeriesTable, FreeTable> t{
      static_cast<SeriesTable*>(std::calloc(1, sizeof(SeriesTable) + GUARD))};
  GuardedTable() { std::memset(guard(), 0xA5, GUARD); }
  unsigned char* guard() const { return reinterpret_cast<unsigned char*>(t.get() + 1); }
  bool guardIntact() const {
    for (std::size_t i = 0; i < GUARD; ++i) {
      if (guard()[i] != 0xA5) return false;
    }
    return true;
  }
};

// The outcome of one reading of a table: the error if there was one.
struct Outcome {
  bool failed = false;
  InputError error;
};

Outcome readTable(GuardedTable& g, const std::string& answers, std::FILE* table) {
  TextStream console(answers), prompts("");
  FreeFormReader consoleReader(console.get(), FreeFormReader::Kind::Console);
  FreeFormReader tableReader(table, FreeFormReader::Kind::File);
  Outcome o;
  try {
    // The answers go through the dialogue's questions, as in the program.
    RunSettings settings;
    Dialogue(consoleReader, prompts.get()).askTableShape(settings);
    rdtabdat(tableReader, settings.columnCount, settings.missingFlag, *g.t);
  } catch (const InputError& e) {
    o.failed = true;
    o.error = e;
  }
  EXPECT_TRUE(g.guardIntact()) << "a store beyond the table";
  return o;
}

Outcome readTable(GuardedTable& g, const std::string& answers, const std::string& text) {
  TextStream file(text);
  return readTable(g, answers, file.get());
}

std::string name(const SeriesTable& t, int k) { return std::string(t.seriesName[k], NAME_LENGTH); }
std::string padded(const std::string& s) { return s + std::string(NAME_LENGTH - s.size(), ' '); }
double cell(const SeriesTable& t, int k, int i) { return t.values[k * MAX_YEARS + i]; }

// What every table read without an error must satisfy.
void expectSoundTable(const SeriesTable& t) {
  ASSERT_GE(t.seriesCount, 0);
  ASSERT_LT(t.seriesCount, MAX_SERIES);
  for (int k = 0; k < t.seriesCount; ++k) {
    const int n = t.yearCount[k];
    ASSERT_GE(n, 0);
    ASSERT_LE(n, MAX_YEARS);
    if (n > 0) {
      EXPECT_EQ(static_cast<long long>(t.lastYear[k]) - t.firstYear[k] + 1, n);
    }
  }
}

// A file in /tmp, removed when the test ends.
struct TempFile {
  std::string path;
  TempFile() {
    char pattern[] = "/tmp/ringsmooth-hostile-XXXXXX";
    const int fd = ::mkstemp(pattern);
    if (fd < 0) std::abort();
    ::close(fd);
    path = pattern;
  }
  ~TempFile() { std::remove(path.c_str()); }
};

// ---- Malformed tokens: as a cell, as the column count, as the flag -------------------------

struct BadToken {
  const char* token;
};

class LoneSignsAndPoints : public ::testing::TestWithParam<BadToken> {};

TEST_P(LoneSignsAndPoints, AsACellAreAnErrorNamingTheLine) {
  GuardedTable g;
  const std::string token = GetParam().token;
  const Outcome o = readTable(g, "3\n-999\n", "Year A B\n1901 1 2\n1902 " + token + " 3\n");
  ASSERT_TRUE(o.failed) << token;
  EXPECT_EQ(o.error.message, ILLEGAL_NUMERIC);
  EXPECT_EQ(o.error.heading, "Input error in the input table, line 3");
  // The detail quotes the offending value (for r*v, the v).
  const std::size_t star = token.find('*');
  const std::string value = star != std::string::npos && star > 0 ? token.substr(star + 1) : token;
  EXPECT_NE(o.error.detail.find("\"" + value + "\""), std::string::npos) << o.error.detail;
}

TEST_P(LoneSignsAndPoints, AsTheYearAreAnError) {
  GuardedTable g;
  const Outcome o = readTable(g, "2\n-999\n", std::string("Year A\n") + GetParam().token + " 1\n");
  ASSERT_TRUE(o.failed);
  EXPECT_EQ(o.error.message, ILLEGAL_NUMERIC);
}

TEST_P(LoneSignsAndPoints, AsConsoleAnswersAreAnError) {
  const std::string token = GetParam().token;
  for (const std::string& answers : {token + "\n-999\n", "2\n" + token + "\n"}) {
    GuardedTable g;
    const Outcome o = readTable(g, answers, "Year A\n1901 1\n");
    ASSERT_TRUE(o.failed) << answers;
    EXPECT_EQ(o.error.message, ILLEGAL_NUMERIC) << answers;
    EXPECT_EQ(o.error.heading, "Input error in a console answer");
  }
}

INSTANTIATE_TEST_SUITE_P(Hostile, LoneSignsAndPoints,
                         ::testing::Values(BadToken{"-"}, BadToken{"+"}, BadToken{"."},
                                           BadToken{"1e"}, BadToken{"1.2.3"}, BadToken{"--5"},
                                           BadToken{"+-1"}, BadToken{"1e+"}, BadToken{".e5"},
                                           BadToken{"*5"}, BadToken{"2**3"}),
                         [](const ::testing::TestParamInfo<BadToken>& param) {
                           return "case" + std::to_string(param.index);
                         });

// "3*" is three empty items, not a malformed token: as cells they keep the table's 0.0.
TEST(HostileTable, NullRepeatAsCellsLeavesZeros) {
  GuardedTable g;
  const Outcome o = readTable(g, "4\n-999\n", "Y A B C\n1901 3*\n1902 1 2 3\n");
  ASSERT_FALSE(o.failed) << o.error.message;
  ASSERT_EQ(g.t->seriesCount, 3);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(g.t->yearCount[k], 2);
    EXPECT_EQ(cell(*g.t, k, 0), 0.0);
    EXPECT_EQ(cell(*g.t, k, 1), k + 1.0);
  }
}

// As the column count, "3*" is an empty answer: the count stays 0 and is refused.
TEST(HostileTable, NullRepeatAsColumnCountIsRefused) {
  GuardedTable g;
  const Outcome o = readTable(g, "3*\n-999\n", "Year A\n1901 1\n");
  ASSERT_TRUE(o.failed);
  EXPECT_NE(o.error.message.find("Number of columns must be from 1 to 700"), std::string::npos);
  EXPECT_EQ(o.error.detail, "the answer was 0");
}

// ---- Numbers out of range and repeat counts -------------------------------------------------

TEST(HostileTable, NumbersOutOfRange) {
  struct Case {
    const char* cellText;
    bool error;
    double value;
  };
  const Case cases[] = {{"1e400", true, 0}, {"-1e400", true, 0}, {"1d400", true, 0},
                        {"1e-400", false, 0.0}, {"-1e-400", false, -0.0},
                        {"1.7976931348623157e308", true, 0}, {"3.4e38", false, 3.4e38},
                        {"4.9e-324", false, 4.9e-324}};
  for (const auto& c : cases) {
    GuardedTable g;
    const Outcome o = readTable(g, "2\n-999\n", std::string("Year A\n1901 ") + c.cellText + "\n");
    if (c.error) {
      ASSERT_TRUE(o.failed) << c.cellText;
      EXPECT_EQ(o.error.message, NUMBER_OUT_OF_RANGE);
      EXPECT_EQ(o.error.heading, "Input error in the input table, line 2");
      continue;
    }
    ASSERT_FALSE(o.failed) << c.cellText << ": " << o.error.message;
    const double v = cell(*g.t, 0, 0);
    EXPECT_EQ(v, c.value) << c.cellText;
    EXPECT_EQ(std::signbit(v), std::signbit(c.value)) << c.cellText;
  }
}

TEST(HostileTable, FlagOutOfSinglePrecisionRange) {
  GuardedTable g;
  const Outcome big = readTable(g, "2\n1e39\n", "Year A\n1901 1\n");
  ASSERT_TRUE(big.failed);
  EXPECT_EQ(big.error.message, NUMBER_OUT_OF_RANGE);
  GuardedTable h;
  const Outcome tiny = readTable(h, "2\n-1e-60\n", "Year A\n1901 1\n1902 0\n");
  ASSERT_FALSE(tiny.failed);
  EXPECT_EQ(h.t->missingFlag, 0.0f);
  EXPECT_TRUE(std::signbit(h.t->missingFlag));
}

TEST(HostileTable, RepeatCountZeroIsAnError) {
  for (const char* row : {"1901 0*5 1", "1901 1 0*", "1901 00*2 1"}) {
    GuardedTable g;
    const Outcome o = readTable(g, "3\n-999\n", std::string("Year A B\n") + row + "\n");
    ASSERT_TRUE(o.failed) << row;
    EXPECT_EQ(o.error.message, ILLEGAL_NUMERIC);
    EXPECT_NE(o.error.detail.find("repeat count 0"), std::string::npos) << o.error.detail;
  }
}

// Ten billion repeats fill only the cells the row still needs (the count saturates far above any
// row), at once and without storing beyond the row; the next row is read as usual.
TEST(HostileTable, RepeatCountOfTenBillion) {
  GuardedTable g;
  const Outcome o = readTable(g, "700\n-999\n",
                              "699*N 1*Y\n1901 10000000000*2.5\n1902 99999999999999999999*7\n");
  ASSERT_FALSE(o.failed) << o.error.message << " " << o.error.detail;
  ASSERT_EQ(g.t->seriesCount, 699);
  EXPECT_EQ(name(*g.t, 698), padded("Y"));
  for (int k = 0; k < 699; ++k) {
    ASSERT_EQ(g.t->yearCount[k], 2);
    EXPECT_EQ(cell(*g.t, k, 0), 2.5);
    EXPECT_EQ(cell(*g.t, k, 1), 7.0);
  }
  GuardedTable h;
  const Outcome names = readTable(h, "3\n-999\n", "10000000000*'x y'\n1901 1 2\n");
  ASSERT_FALSE(names.failed);
  EXPECT_EQ(name(*h.t, 0), padded("x y"));
  EXPECT_EQ(name(*h.t, 1), padded("x y"));
}

// ---- Quotes -----------------------------------------------------------------------------------

// A quote never closed would take the data rows after it as names. It is an error naming the
// line, whether the line or the file ends first, and however many names are still missing.
TEST(HostileTable, QuoteNeverClosedIsAnError) {
  struct Case {
    const char* answers;
    const char* text;
    const char* heading;
  };
  const Case cases[] = {
      {"3\n-999\n", "Year 'Alpha, beta / gamma B\n1901 1 2\n1902 3 4\n", "line 1"},
      {"3\n-999\n", "Year\nA\n'B c\n1901 1 2\n", "line 3"},
      {"3\n-999\n", "Year A 'B c", "line 1"},
      {"4\n-999\n", "Year A 'B c", "line 1"},
      {"2\n-999\n", "Year 'it''", "line 1"},
  };
  for (const auto& c : cases) {
    GuardedTable g;
    const Outcome o = readTable(g, c.answers, c.text);
    ASSERT_TRUE(o.failed) << c.text;
    EXPECT_EQ(o.error.message, QUOTE_NOT_CLOSED) << c.text;
    EXPECT_EQ(o.error.heading, std::string("Input error in the input table, ") + c.heading)
        << c.text;
  }
}

// ---- Size -------------------------------------------------------------------------------------

TEST(HostileTable, HeaderOfAMillionNames) {
  std::string header;
  header.reserve(8000000);
  for (int i = 0; i < 1000000; ++i) header += "n" + std::to_string(i) + " ";
  for (int columns : {5, 700}) {
    GuardedTable g;
    std::string row = "1901";
    for (int c = 1; c < columns; ++c) row += " " + std::to_string(c);
    const Outcome o = readTable(g, std::to_string(columns) + "\n-999\n",
                                header + "\n" + row + "\n");
    ASSERT_FALSE(o.failed) << o.error.message;
    ASSERT_EQ(g.t->seriesCount, columns - 1);
    EXPECT_EQ(name(*g.t, 0), padded("n1"));
    EXPECT_EQ(name(*g.t, columns - 2), padded("n" + std::to_string(columns - 1)));
    EXPECT_EQ(cell(*g.t, columns - 2, 0), columns - 1.0);
  }
}

// A line of 100 MB: surplus numbers after a row's last cell are passed over in one sweep, and a
// single item of 100 MB is refused with a message that quotes only its beginning.
TEST(HostileTable, HundredMegabyteLines) {
  constexpr std::size_t LINE = 100u << 20;
  TempFile file;
  std::FILE* f = std::fopen(file.path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("Year A\n1901 1.5", f);
  std::vector<char> chunk(1 << 20);
  for (std::size_t i = 0; i < chunk.size(); i += 2) chunk[i] = ' ', chunk[i + 1] = '7';
  for (std::size_t written = 0; written < LINE; written += chunk.size()) {
    std::fwrite(chunk.data(), 1, chunk.size(), f);
  }
  std::fputs("\n1902 2.5\n1903 ", f);
  std::fill(chunk.begin(), chunk.end(), '9');
  for (std::size_t written = 0; written < LINE; written += chunk.size()) {
    std::fwrite(chunk.data(), 1, chunk.size(), f);
  }
  std::fputs(" 1\n", f);
  ASSERT_EQ(std::fclose(f), 0);

  std::FILE* in = std::fopen(file.path.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  GuardedTable g;
  const Outcome o = readTable(g, "2\n-999\n", in);
  std::fclose(in);
  ASSERT_TRUE(o.failed);  // the 100 MB item of row 1903
  EXPECT_EQ(o.error.message, ILLEGAL_NUMERIC);
  EXPECT_EQ(o.error.heading, "Input error in the input table, line 4");
  EXPECT_LT(o.error.detail.size(), 200u);
  EXPECT_NE(o.error.detail.find("longer than 1024"), std::string::npos) << o.error.detail;
  // The rows before it were read right, the 100 MB of surplus numbers skipped.
  EXPECT_EQ(cell(*g.t, 0, 0), 1901.0);
  EXPECT_EQ(cell(*g.t, 1, 0), 1.5);
  EXPECT_EQ(cell(*g.t, 1, 1), 2.5);
}

// ---- Garbage ------------------------------------------------------------------------------------

// Random bytes (NUL, CR, quotes, slashes, bytes above 127): an error report or a sound table.
TEST(HostileTable, BinaryGarbage) {
  std::mt19937 rng(20240607);
  for (int trial = 0; trial < 200; ++trial) {
    std::string text(static_cast<std::size_t>(rng() % 4000), '\0');
    for (char& c : text) c = static_cast<char>(rng() & 0xFF);
    if (trial % 2 == 0) text = "Year A B\n1901 1 2\n" + text;  // garbage after a good start
    GuardedTable g;
    const Outcome o = readTable(g, std::to_string(1 + trial % 5) + "\n-999\n", text);
    if (o.failed) {
      EXPECT_FALSE(o.error.message.empty());
      EXPECT_EQ(o.error.heading.rfind("Input error in the input table, line ", 0), 0u);
      for (const std::string* s : {&o.error.heading, &o.error.message, &o.error.detail}) {
        EXPECT_EQ(s->find('\n'), std::string::npos) << "a report line must stay one line";
      }
    } else {
      expectSoundTable(*g.t);
    }
  }
}

}  // namespace
}  // namespace ringsmooth
