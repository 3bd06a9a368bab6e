#include "input/tucson.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/run_error.h"
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
  InputFormat format;
  std::string text;
  std::vector<Expected> series;
  std::vector<std::string> notes;
};

TEST(Tucson, SeriesAsTheFileGivesThem) {
  const std::string crnPad = "9990  0";
  const GoodCase cases[] = {
      {"both markers, zero kept, negatives missing, ends trimmed", InputFormat::Rwl,
       "A       1787  -999   104     0    -5    20   999\n"
       "B       1799    -1  1234 -9999\n",
       {{"A", 1788, {1.04, 0.0, NA, 0.2}}, {"B", 1800, {1.234}}}, {}},
      {"11th-field marker, zeros after a marker, marker alone", InputFormat::Rwl,
       "A       1790     1     2     3     4     5     6     7     8     9    10   999\n"
       "B       1795     7     8    -1   999     0   000\n"
       "C       1809    12\nC       1810   999\n",
       {{"A", 1790, {0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08, 0.09, 0.1}},
        {"B", 1795, {0.07, 0.08}}, {"C", 1809, {0.12}}}, {}},
      {"header, -1 to 0 to 1, five-character years", InputFormat::Rwl,
       "SITE    1 Name\nSITE    2 Place\nSITE    3 Who\n"
       "X         -2   100   200\nX          0   300   400   999\n"
       "LONGID7-1001    11\nLONGID7-1000    12\nLONGID7 -999    13 -9999\n",
       {{"X", -2, {1.0, 2.0, 3.0, 4.0}}, {"LONGID7", -1001, {0.011, 0.012, 0.013}}}, {}},
      {"CR LF and CR line ends, tabs, blank lines", InputFormat::Rwl,
       "A\t1801\t5\t6\r\n\r\n   \nA       1803 7\t999\rB 2\t1901 1 -9999\n",
       {{"A", 1801, {0.05, 0.06, 0.07}}, {"B 2", 1901, {0.001}}}, {}},
      {"repeated IDs, a name already given", InputFormat::Rwl,
       "A       1901 1 999\nB       1901 2 999\nA       1950 3 999\nA_2     1901 4 999\n"
       "A       1901 5 -1 999\n",
       {{"A", 1901, {0.01}}, {"B", 1901, {0.02}}, {"A_2", 1950, {0.03}},
        {"A_2_2", 1901, {0.04}}, {"A_3", 1901, {0.05}}},
       {" Series A at line 3 has the name of an earlier series: read as A_2",
        " Series A_2 at line 4 has the name of an earlier series: read as A_2_2",
        " Series A at line 5 has the name of an earlier series: read as A_3"}},
      {"a series with no present year", InputFormat::Rwl, "E       1900 -1 -1 999\n",
       {{"E", 1900, {}}}, {}},
      {"two chronologies, 9990 gaps, header, statistics", InputFormat::Crn,
       "CA5     1 Site\nCA5     2 Place\nCA5     3 Who\n"
       "CA5    -10" + crnPad + crnPad + crnPad + crnPad + crnPad + crnPad + crnPad + crnPad +
           "1000 12   0  1\n"
       "CA5      0 999  2" + crnPad + "1234  3" + crnPad + crnPad + crnPad + crnPad + crnPad +
           crnPad + crnPad + "\n"
       "CA5R  1500  10  4" + "1001999" + crnPad +
           crnPad + crnPad + crnPad + crnPad + crnPad + crnPad + "   5  1\n"
       "CA5      -10    0 0.812 0.244\n",
       {{"CA5", -2, {1.0, 0.0, 0.999, NA, 1.234}},
        {"CA5R", 1500, {0.01, 1.001, NA, NA, NA, NA, NA, NA, NA, 0.005}}}, {}},
  };
  for (const GoodCase& c : cases) {
    SCOPED_TRACE(c.label);
    const Read r(c.format, c.text);
    ASSERT_EQ(r.t->seriesCount, static_cast<int>(c.series.size()));
    EXPECT_TRUE(std::isnan(r.t->missingFlag));
    EXPECT_EQ(r.summary.renamed, c.notes);
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
