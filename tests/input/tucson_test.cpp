#include "input/tucson.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/run_error.h"
#include "core/site_header.h"
#include "core/text_field.h"
#include "input/number_token.h"
#include "input/series_file.h"
#include "support/text_stream.h"

namespace ringsmooth {
namespace {

const double NA = std::nan("");

// The start of a ring-width line: the ID in columns 1-8, the year in 9-12.
std::string start(const std::string& id, int year) {
  char text[32];
  std::snprintf(text, sizeof text, "%-8s%4d", id.c_str(), year);
  return text;
}

// A series of values (every 10th begins a line), the years from -999 on, then `end`.
std::string rwlSeries(const std::string& id, const std::vector<std::string>& values,
                      const std::string& end) {
  std::string text;
  std::size_t i = 0;
  for (; i < values.size(); ++i) {
    if (i % 10 == 0) text += (i ? "\n" : "") + start(id, -999 + static_cast<int>(i));
    text += " " + values[i];
  }
  if (i % 10 == 0) text += "\n" + start(id, -999 + static_cast<int>(i));
  return text + " " + end + "\n";
}

struct Expected {
  std::string name;
  int firstYear;
  std::vector<double> values;  // NA for a missing year inside the span
};

struct Read {
  SeriesTablePtr t = makeSeriesTable();
  InputSummary summary;
  Read(InputFormat format, const std::string& text) {
    support::TextStream file(text);
    summary = readSeriesFile(file.get(), format, 1, 0.0f, *t);
  }
  const double* column(int k) const { return t->values + std::ptrdiff_t{k} * MAX_YEARS; }
};

InputError failure(const std::string& text) {
  try {
    const Read r(InputFormat::Rwl, text);
  } catch (const InputError& e) {
    return e;
  }
  ADD_FAILURE() << "read without an error";
  return {};
}

TEST(Tucson, FormatFollowsTheNameOrTheWord) {
  for (const auto& [name, format] : std::vector<std::pair<std::string, InputFormat>>{
           {"ca533.rwl", InputFormat::Rwl}, {"A.RWL", InputFormat::Rwl},
           {"x.Crn", InputFormat::Crn}, {".crn", InputFormat::Crn},
           {"ca533.rwl.txt", InputFormat::Table}, {"rwl", InputFormat::Table},
           {"table.csv", InputFormat::Table}}) {
    EXPECT_EQ(formatForName(name), format) << name;
  }
  EXPECT_EQ(formatNamed("rwl"), InputFormat::Rwl);
  EXPECT_EQ(formatNamed("crn"), InputFormat::Crn);
  EXPECT_EQ(formatNamed("table"), InputFormat::Table);
  EXPECT_EQ(formatNamed("RWL"), std::nullopt);
}

// Every whole number of either unit becomes exactly the double its decimal text denotes (999 is
// the one number no ring-width series can hold: it is the marker).
TEST(Tucson, ValuesAreTheDoublesOfTheirDecimals) {
  for (const int marker : {999, -9999}) {
    std::vector<std::string> values;
    for (int v = 0; v < 10000; ++v) values.push_back(std::to_string(v == 999 ? 0 : v));
    const Read r(InputFormat::Rwl, rwlSeries("W", values, std::to_string(marker)));
    ASSERT_EQ(r.t->yearCount[0], 10000);
    for (int v = 0; v < 10000; ++v) {
      char decimal[16];
      std::snprintf(decimal, sizeof decimal, marker == 999 ? "%d.%02d" : "%d.%03d",
                    v / (marker == 999 ? 100 : 1000), v % (marker == 999 ? 100 : 1000));
      double expected = 0.0;
      ASSERT_EQ(parseDouble(decimal, std::strlen(decimal), expected), TokenStatus::Ok);
      if (v == 999) continue;
      ASSERT_EQ(r.column(0)[v], expected) << decimal;
    }
  }
}

struct GoodCase {
  const char* label;
  InputFormat format = InputFormat::Rwl;
  std::string text;
  std::vector<Expected> series;
  std::vector<std::string> notes;         // the console lines, the summary first
  std::vector<std::string> skipped = {};  // "heading: message" of each series skipped
};

// A chronology line: the ID padded to 6 characters (of UTF-8), the decade, the pairs.
std::string crnLine(const std::string& id, const std::string& decade, const std::string& pairs) {
  const auto characters = std::count_if(id.begin(), id.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xc0) != 0x80;
  });
  return id + std::string(static_cast<std::size_t>(6 - characters), ' ') + decade + pairs + "\n";
}

TEST(Tucson, SeriesAsTheFileGivesThem) {
  const std::string crnPad = "9990  0";
  std::string pairs;
  for (int j = 0; j < 10; ++j) pairs += "1000  5";
  const std::string rwlHeading = "Input error in the ring-width file, line ";
  const std::string E8 = "\u20AC\u20AC\u20AC\u20AC\u20AC\u20AC\u20AC\u20AC";  // 24 bytes
  std::string widest = "W 1901 5";
  widest += std::string(1024 - widest.size() - 3, ' ') + "999\n";
  const GoodCase cases[] = {
      {.label = "both markers, zero kept, negatives missing, ends trimmed",
       .text = "A       1787  -999   104     0    -5    20   999\n"
               "B       1799    -1  1234 -9999\n",
       .series = {{"A", 1788, {1.04, 0.0, NA, 0.2}}, {"B", 1800, {1.234}}},
       .notes = {" Tucson ring-width file: 2 series, years 1788 to 1800"}},
      {.label = "11th-field marker, zeros after a marker, marker alone",
       .text = "A       1790     1     2     3     4     5     6     7     8     9    10   999\n"
               "B       1795     7     8    -1   999     0   000\n"
               "C       1809    12\nC       1810   999\n",
       .series = {{"A", 1790, {0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08, 0.09, 0.1}},
                  {"B", 1795, {0.07, 0.08}},
                  {"C", 1809, {0.12}}},
       .notes = {" Tucson ring-width file: 3 series, years 1790 to 1809"}},
      {.label = "titles (a digit in column 10), -1 to 0 to 1, five-character years",
       .text = "SITE     1 Name\nSITE    2 Place\nSITE    3 Who\n"
               "X         -2   100   200\nX          0   300   400   999\n"
               "LONGID7-1001    11\nLONGID7-1000    12\nLONGID7 -999    13 -9999\n",
       .series = {{"X", -2, {1.0, 2.0, 3.0, 4.0}}, {"LONGID7", -1001, {0.011, 0.012, 0.013}}},
       .notes = {" Tucson ring-width file: 2 series, years -1001 to 1",
                 " Line 1 skipped as a title: \"SITE     1 Name\"",
                 " Line 2 skipped as a title: \"SITE    2 Place\"",
                 " Line 3 skipped as a title: \"SITE    3 Who\""}},
      {.label = "LF, CR LF, CR, CR CR LF line ends, tabs, blank lines",
       .text = "A\t1801\t5\t6\r\n\r\n   \nA       1803 7\t999\rB 2\t1901     1 -9999\r\r"
               "C       1901     1   999\r\r\nC 1901 1 999\r\n",
       .series = {{"A", 1801, {0.05, 0.06, 0.07}},
                  {"B 2", 1901, {0.001}},
                  {"C", 1901, {0.01}},
                  {"C_2", 1901, {0.01}}},
       .notes = {" Tucson ring-width file: 4 series, years 1801 to 1901",
                 " Series C at line 8 has the name of an earlier series: read as C_2",
                 " 3 lines read by blanks, off the column grid, the first at line 1"}},
      {.label = "repeated IDs, a name already given",
       .text = "A       1901 1 999\nB       1901 2 999\nA       1950 3 999\nA_2     1901 4 999\n"
               "A       1901 5 -1 999\n",
       .series = {{"A", 1901, {0.01}},
                  {"B", 1901, {0.02}},
                  {"A_2", 1950, {0.03}},
                  {"A_2_2", 1901, {0.04}},
                  {"A_3", 1901, {0.05}}},
       .notes = {" Tucson ring-width file: 5 series, years 1901 to 1950",
                 " Series A at line 3 has the name of an earlier series: read as A_2",
                 " Series A_2 at line 4 has the name of an earlier series: read as A_2_2",
                 " Series A at line 5 has the name of an earlier series: read as A_3",
                 " 5 lines read by blanks, off the column grid, the first at line 1"}},
      {.label = "a series with no present year",
       .text = "E       1900 -1 -1 999\n",
       .series = {{"E", 1900, {}}},
       .notes = {" Tucson ring-width file: 1 series, none with a value",
                 " 1 line read by blanks, off the column grid, at line 1"}},
      {.label = "an empty series beside one with values",
       .text = "E       1850    -1   999\nF       1901     5   999\n",
       .series = {{"E", 1850, {}}, {"F", 1901, {0.05}}},
       .notes = {" Tucson ring-width file: 2 series, years 1901 to 1901"}},
      {.label = "off the grid on line 1, a digit in column 10, the year in columns 8-11",
       .text = "SeriesA  1   10 30 50 70 999\n"
               "EGR107  1710   100   200   300\nEGR107  1713   156   101   999\n"
               "EGR108 1713   156   101   277   173   171   279   414\nEGR108  1720   100   999\n",
       .series = {{"SeriesA", 1, {0.1, 0.3, 0.5, 0.7}},
                  {"EGR107", 1710, {1.0, 2.0, 3.0, 1.56, 1.01}},
                  {"EGR108", 1713, {1.56, 1.01, 2.77, 1.73, 1.71, 2.79, 4.14, 1.0}}},
       .notes = {" Tucson ring-width file: 3 series, years 1 to 1720",
                 " 2 lines read by blanks, off the column grid, the first at line 1"}},
      {.label = "a year shifted one column, a blank field, values touching",
       .text = "ABC01    1905   100   110   999\n"
               "ABC02   1900   100         300   999\n"
               "ABC03   1900     1123456   999\n",
       .series = {{"ABC01", 1905, {1.0, 1.1}},
                  {"ABC02", 1900, {1.0, NA, 3.0}},
                  {"ABC03", 1900, {0.01, 1234.56}}},
       .notes = {" Tucson ring-width file: 3 series, years 1900 to 1906",
                 " 1 line read by blanks, off the column grid, at line 1"}},
      {.label = "columns of UTF-8 characters; other bytes one column each",
       .text = "\xC3\x81\xC3\xA4"
               "89-06 1964  3160  1950   999\n"
               "\xF0\x9F\x8C\xB2"
               "T      1801     5   999\n"
               "\xC1"
               "B      1901     5   999\n",
       .series = {{"\xC3\x81\xC3\xA4"
                   "89-06",
                   1964,
                   {31.6, 19.5}},
                  {"\xF0\x9F\x8C\xB2"
                   "T",
                   1801,
                   {0.05}},
                  {"\xC1"
                   "B",
                   1901,
                   {0.05}}},
       .notes = {" Tucson ring-width file: 3 series, years 1801 to 1965"}},
      {.label = "a free title, CR CR LF",
       .text = "TTHH White Spruce - Yukon\r\r\nTT01    1901     5     6\r\r\nTT01    1903     7   "
               "999\r\r\n"
               "TT01    1950     1   999\r\r\n",
       .series = {{"TT01", 1901, {0.05, 0.06, 0.07}}, {"TT01_2", 1950, {0.01}}},
       .notes = {" Tucson ring-width file: 2 series, years 1901 to 1950",
                 " Line 1 skipped as a title: \"TTHH White Spruce - Yukon\"",
                 " Series TT01 at line 4 has the name of an earlier series: read as TT01_2"}},
      {.label = "letter case changed part-way; after the marker a series of its own",
       .text = "FDD08A  1158   100   200\nFDD08a  1160   300   999\nfdd08a  1901     5   999\n",
       .series = {{"FDD08A", 1158, {1.0, 2.0, 3.0}}, {"fdd08a", 1901, {0.05}}},
       .notes = {" Tucson ring-width file: 2 series, years 1158 to 1901",
                 " Series FDD08A continues at line 2 with its ID written FDD08a"}},
      {.label = "limits: a 9-digit value, a line of 1024 columns",
       .text = "N       1901 999999999 -9999\n" + widest,
       .series = {{"N", 1901, {999999.999}}, {"W", 1901, {0.05}}},
       .notes = {" Tucson ring-width file: 2 series, years 1901 to 1901",
                 " 2 lines read by blanks, off the column grid, the first at line 1"}},
      {.label = "one series out of sequence among good ones",
       .text = "FAD23A  1200   100   200   999\n"
               "FAD23B  1205     1     2     3     4     5     6\n"
               "FAD23B  1210     1     2   999\n"
               "FAD23C  1200   100   999\n",
       .series = {{"FAD23A", 1200, {1.0, 2.0}}, {"FAD23C", 1200, {1.0}}},
       .notes = {" Tucson ring-width file: 2 series, years 1200 to 1201; 1 skipped"},
       .skipped =
           {rwlHeading +
            "3: series FAD23B (lines 2-3) skipped: Expected year 1211 for series FAD23B, the year "
            "after its last value"}},
      {.label = "no end marker (in the file, at its end), a value not whole, a line without ID",
       .text = "A       1901     1     2\nB       1901     3   999\nD       1901  1.04   999\n"
               "d       1902     5   999\n        1901     5   999\nE       1901     7\n",
       .series = {{"B", 1901, {0.03}}},
       .notes = {" Tucson ring-width file: 1 series, years 1901 to 1901; 4 skipped"},
       .skipped =
           {rwlHeading +
                "1: series A (line 1) skipped: Series A ends without its end marker (999 or -9999)",
            rwlHeading +
                "3: series D (lines 3-4) skipped: Expected whole-number values of at most 9 digits",
            rwlHeading + "5: line skipped: Expected a series ID in columns 1-8",
            rwlHeading + "6: series E (line 6) skipped: Series E ends without its end marker (999 "
                         "or -9999)"}},
      {.label = "the data bank's NRX14B, NRX14A, NRX14B: each block alone, names kept by skips",
       .text = "NRX14A  1340   100   999\nNRX14B  1330   100   110\nNRX14B  1332   120\n"
               "NRX14A  1360   100\nNRX14B  1350   300   310   999\n",
       .series = {{"NRX14A", 1340, {1.0}}, {"NRX14B_2", 1350, {3.0, 3.1}}},
       .notes = {" Tucson ring-width file: 2 series, years 1340 to 1351; 2 skipped",
                 " Series NRX14B at line 5 has the name of an earlier series: read as NRX14B_2"},
       .skipped = {rwlHeading + "3: series NRX14B (lines 2-3) skipped: Series NRX14B ends "
                                "without its end marker (999 or -9999)",
                   rwlHeading + "4: series NRX14A_2 (line 4) skipped: Series NRX14A ends "
                                "without its end marker (999 or -9999)"}},
      {.label = "a skipped series' later lines off the grid (its ID then reads NRX14B 1)",
       .text = "NRX14B  1340   100   110\nNRX14B  1350   120   999\nNRX14B 1352   130   999\n"
               "C       1901     5   999\n",
       .series = {{"C", 1901, {0.05}}},
       .notes = {" Tucson ring-width file: 1 series, years 1901 to 1901; 1 skipped"},
       .skipped = {rwlHeading + "2: series NRX14B (lines 1-3) skipped: Expected year 1342 for "
                                "series NRX14B, the year after its last value"}},
      {.label = "names cut at a character boundary, numbered within 20 bytes",
       .text = E8 + " 1901 5 999\n" + E8 +
               " 1901 6 999\nABCDEFGHIJKLMNOPQRSTUVWXYZ 1901 7 999\n"
               "ABCDEFGHIJKLMNOPQRSTU 1901 8 999\n",
       .series = {{E8.substr(0, 18), 1901, {0.05}},
                  {E8.substr(0, 18) + "_2", 1901, {0.06}},
                  {"ABCDEFGHIJKLMNOPQRST", 1901, {0.07}},
                  {"ABCDEFGHIJKLMNOPQR_2", 1901, {0.08}}},
       .notes = {" Tucson ring-width file: 4 series, years 1901 to 1901",
                 " Series " + E8 + " at line 2 has the name of an earlier series: read as " +
                     E8.substr(0, 18) + "_2",
                 " Series ABCDEFGHIJKLMNOPQRSTU at line 4 has the name of an earlier series: "
                 "read as ABCDEFGHIJKLMNOPQR_2",
                 " 4 lines read by blanks, off the column grid, the first at line 1"}},
      {.label = "three titles at most",
       .text = "T1\nT2\nT3\nT4\nA       1901     5   999\n",
       .series = {{"A", 1901, {0.05}}},
       .notes = {" Tucson ring-width file: 1 series, years 1901 to 1901; 1 skipped",
                 " Line 1 skipped as a title: \"T1\"", " Line 2 skipped as a title: \"T2\"",
                 " Line 3 skipped as a title: \"T3\""},
       .skipped = {rwlHeading +
                   "4: series T4 (line 4) skipped: Expected the year after the series ID"}},
      {.label = "two chronologies, 9990 gaps, header, statistics",
       .format = InputFormat::Crn,
       .text = "CA5     1 Site\nCA5     2 Place\nCA5     3 Who\n"
               "CA5    -10" +
               crnPad + crnPad + crnPad + crnPad + crnPad + crnPad + crnPad + crnPad +
               "1000 12   0  1\n"
               "CA5      0 999  2" +
               crnPad + "1234  3" + crnPad + crnPad + crnPad + crnPad + crnPad + crnPad + crnPad +
               "\n"
               "CA5R  1500  10  4" +
               "1001999" + crnPad + crnPad + crnPad + crnPad + crnPad + crnPad + crnPad +
               "   5  1\n"
               "CA5      -10    0 0.812 0.244\n",
       .series = {{"CA5", -2, {1.0, 0.0, 0.999, NA, 1.234}},
                  {"CA5R", 1500, {0.01, 1.001, NA, NA, NA, NA, NA, NA, NA, 0.005}}},
       .notes = {" Tucson chronology file: 2 chronologies, years -2 to 1509",
                 " Line 1 skipped as a title: \"CA5     1 Site\"",
                 " Line 2 skipped as a title: \"CA5     2 Place\"",
                 " Line 3 skipped as a title: \"CA5     3 Who\""}},
      {.label = "one bad chronology among good ones, a UTF-8 ID",
       .format = InputFormat::Crn,
       .text = crnLine("C1", "1900", pairs) + crnLine("C2", "1900", "10x0  5" + pairs.substr(7)) +
               crnLine("C2", "1910", pairs) +
               crnLine("\xC3\x84"
                       "3",
                       "1900", pairs),
       .series = {{"C1", 1900, std::vector<double>(10, 1.0)},
                  {"\xC3\x84"
                   "3",
                   1900, std::vector<double>(10, 1.0)}},
       .notes = {" Tucson chronology file: 2 chronologies, years 1900 to 1909; 1 skipped"},
       .skipped = {"Input error in the chronology file, line 2: chronology C2 (lines 2-3) skipped: "
                   "Expected an index of -999 to 9999 for year 1900"}},
      {.label = "a title with a control byte, shown as '?'",
       .text = "T\x1b[2J\nA       1901     5   999\n",
       .series = {{"A", 1901, {0.05}}},
       .notes = {" Tucson ring-width file: 1 series, years 1901 to 1901",
                 " Line 1 skipped as a title: \"T?[2J\""}},
      {.label = "5-column years in 6-10, the ID in 1-5: before -999; after 9999 continuing",
       .format = InputFormat::Crn,
       .text = "ABCDE-1000" + pairs + "\nABCDE -990" + pairs + "\nVWXYZ 9990" + pairs +
               "\nVWXYZ10000" + pairs + "\n",
       .series = {{"ABCDE", -1000, std::vector<double>(20, 1.0)},
                  {"VWXYZ", 9990, std::vector<double>(20, 1.0)}},
       .notes = {" Tucson chronology file: 2 chronologies, years -1000 to 10009"}},
      {.label = "years after 9999: the site's ID, continuing, a blank column 5; else 6-column IDs",
       .format = InputFormat::Crn,
       .text = "ABCDE  1 Far\nABCDE10000" + pairs + "\nAB   10000" + pairs + "\nABC0011990" +
               pairs + "\n",
       .series = {{"ABCDE", 10000, std::vector<double>(10, 1.0)},
                  {"AB", 10000, std::vector<double>(10, 1.0)},
                  {"ABC001", 1990, std::vector<double>(10, 1.0)}},
       .notes = {" Tucson chronology file: 3 chronologies, years 1990 to 10009",
                 " Line 1 skipped as a title: \"ABCDE  1 Far\""}},
  };
  for (const GoodCase& c : cases) {
    SCOPED_TRACE(c.label);
    const Read r(c.format, c.text);
    ASSERT_EQ(r.t->seriesCount, static_cast<int>(c.series.size()));
    EXPECT_TRUE(std::isnan(r.t->missingFlag));
    EXPECT_EQ(readingNotes(r.summary), c.notes);
    // A batch run counts the notes of one kind in one line.
    for (const Note& note : readingNoteList(r.summary)) {
      const auto has = [&](const char* words) { return note.text.find(words) != std::string::npos; };
      EXPECT_EQ(note.kind, has(" ID written ") ? NoteKind::CaseChanged : has(" an earlier series")
                           ? NoteKind::Renamed : has(" as a title: ") ? NoteKind::Title : NoteKind::Single);
      EXPECT_EQ(note.place, printable(note.place)) << note.text;
    }
    std::vector<std::string> skipped;
    for (const InputError& e : r.summary.skipped) skipped.push_back(e.heading + ": " + e.message);
    EXPECT_EQ(skipped, c.skipped);
    for (int k = 0; k < r.t->seriesCount; ++k) {
      const Expected& e = c.series[k];
      EXPECT_EQ(trimmedText(r.t->seriesName[k], NAME_LENGTH), e.name);
      EXPECT_EQ(r.t->firstYear[k], e.firstYear) << e.name;
      ASSERT_EQ(r.t->yearCount[k], static_cast<int>(e.values.size())) << e.name;
      EXPECT_EQ(r.t->lastYear[k], e.firstYear + std::max<int>(0, r.t->yearCount[k] - 1));
      for (std::size_t i = 0; i < e.values.size(); ++i) {
        if (std::isnan(e.values[i])) {
          EXPECT_TRUE(std::isnan(r.column(k)[i])) << e.name << " position " << i;
        } else {
          EXPECT_EQ(r.column(k)[i], e.values[i]) << e.name << " position " << i;
        }
      }
    }
    // A skipped series leaves nothing in the table: the column after the last is untouched.
    for (int i = 0; i < MAX_YEARS; ++i) ASSERT_EQ(r.column(r.t->seriesCount)[i], 0.0) << i;
  }
}

// The data bank's header lines as real files have them: shifted, partial, or none at all (the
// layout itself is read back in tests/output/crn_header_test.cpp).
TEST(Tucson, SiteHeaderFromTheTitleLines) {
  const struct {
    std::string titles;
    std::optional<SiteHeader> site;
  } cases[] = {
      // One column right (the code one blank after the name, in its shifted columns), the
      // place's last fields further still, line 3 missing.
      {"BCE533  1 Invented Site, for the tests of the shifted columns PIXX\n"
       "BCE533  2 British Colum  Pinus example                    3000  3700-11800\n",
       SiteHeader{"BCE533", "Invented Site, for the tests of the shifted columns", "PIXX",
                  "British Colum", "Pinus example", "3000", "3700-11800"}},
      // Line 2 of another site is no header line; the code touches the name: not taken.
      {"SS     1 Hermit Lake PSME\nXX     2 Utah\n",
       SiteHeader{.id = "SS", .siteName = "Hermit Lake PSME"}},
      {"TTHH White Spruce - Yukon\n", std::nullopt},
      {"SS     4 Four\n", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.titles);
    const Read r(InputFormat::Rwl, c.titles + "SS01    1901     5   999\n");
    EXPECT_EQ(r.t->seriesCount, 1);
    EXPECT_TRUE(r.summary.site == c.site);
  }
}

// The capacities: 699 series, 10,000 years from the first to the last present one. Missing
// years outside that span do not count.
TEST(Tucson, Capacities) {
  std::string many;
  for (int k = 0; k < 700; ++k) many += start("S" + std::to_string(k), 1901) + " 5 999\n";
  const InputError series = failure(many);
  EXPECT_EQ(series.heading, "Input error in the ring-width file, line 700");
  EXPECT_EQ(series.message, "Too many series: the table holds at most 699");
  const auto years = [](int leading, int present, int trailing) {
    std::vector<std::string> values(leading, "-1");
    values.resize(leading + present, "5");
    values.resize(leading + present + trailing, "-1");
    return rwlSeries("L", values, "999");
  };
  const Read fits(InputFormat::Rwl, years(30, 10000, 30));
  EXPECT_EQ(fits.t->firstYear[0], -969);
  EXPECT_EQ(fits.t->yearCount[0], 10000);
  const InputError tooLong = failure(years(0, 10001, 0));
  EXPECT_EQ(tooLong.heading, "Input error in the ring-width file, line 1001");
  EXPECT_EQ(tooLong.message, "Too many years in series L: a series holds at most 10000");
}

}  // namespace
}  // namespace ringsmooth
