// The chronology files: a .crn that this program's own reader reads back to the values written
// (rounded to thousandths, halves away from zero), the indices and years it refuses, the site
// ID, and the CSV's shortest decimals.
#include "output/chronology_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/series_table.h"
#include "core/text_field.h"
#include "core/site_header.h"
#include "input/tucson.h"
#include "support/text_stream.h"

namespace ringsmooth {
namespace {

const double NONE = std::numeric_limits<double>::quiet_NaN();

// Its site header too, field by field in the data bank's layout (a name of 60 characters cut to
// its 52, a tab written '?'), with the chronology's years.
TEST(CrnText, ReadsBackThroughTheChronologyReader) {
  const std::string name = "\u00C5lesund\t" + std::string(52, 'x');
  const SiteHeader site{"ca533x", name,    "PILO", "California", "Bristlecone Pine", "3475M",
                        "3722-11812", "1", "2",    "Graybill, D.A.", "06/1983"};
  const struct {
    int firstYear;
    std::vector<double> value;
    std::vector<int> depth;
  } cases[] = {
      {1901, {1.0625, 0.9994, 1.0}, {3, 2, 1}},                // halves up; mid-decade ends
      {-17, {-0.0625, -0.999, 9.989, 0.0}, {1, 2, 3, 4}},      // negative years and indices
      {1990, {0.5, NONE, 1.5, 2.0, 0.7, 0.8, 0.9, 1.1, 1.2, 1.3, 1.4, 0.6}, // a gap, 2 decades
       {5, 0, 4, 3, 5, 5, 5, 5, 5, 5, 5, 699}},
      {-2649, {1.0, 2.0}, {1, 2}},                             // 5-column decades, 5-column ID
      {-1001, {1.0, 2.0, 3.0, 4.0}, {1, 2, 3, 4}},             // decade -1010, then -1000
      {9998, {1.0, 2.0, 3.0}, {1, 2, 3}},                      // 9990, then 10000
      {99990, {1.0}, {1}},                                     // the first decade after 9999
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.firstYear);
    const int years = static_cast<int>(c.value.size());
    std::string text;
    int badYear = 0;
    ASSERT_TRUE(crnText({c.firstYear, years, c.value.data(), c.depth.data()}, site, text,
                        badYear));
    EXPECT_EQ(text.substr(6, 4), " 1 \xC3");  // dplR's test for a header: no number here
    const std::size_t line2 = text.find('\n') + 1;  // coordinates in 48-57, years end in 76
    EXPECT_EQ(text.substr(line2 + 47, 10) + std::to_string(text.find('\n', line2) - line2),
              "3722-1181276");
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
      EXPECT_LE(end - at, 80u) << text.substr(at, end - at);
    }
    const support::TextStream stream(text);
    const SeriesTablePtr table = makeSeriesTable();
    TucsonNotes notes;
    readChronologyFile(stream.get(), *table, notes);
    ASSERT_EQ(table->seriesCount, 1);
    const bool wide = c.firstYear < -999 || c.firstYear + years > 10000;
    EXPECT_EQ(trimmedText(table->seriesName[0], NAME_LENGTH), wide ? "ca533" : "ca533x");
    SiteHeader back = site;
    back.id = wide ? "ca533" : "ca533x";
    back.siteName = "\u00C5lesund?" + std::string(44, 'x');
    back.firstYear = std::to_string(c.firstYear);
    back.lastYear = std::to_string(c.firstYear + years - 1);
    EXPECT_TRUE(notes.site == back);
    ASSERT_EQ(table->firstYear[0], c.firstYear);
    ASSERT_EQ(table->yearCount[0], years);
    for (int j = 0; j < years; ++j) {
      const double read = table->values[j];
      if (c.depth[j] == 0) {
        EXPECT_TRUE(std::isnan(read)) << c.firstYear + j;
      } else {
        EXPECT_EQ(read, std::round(c.value[j] * 1000.0) / 1000.0) << c.firstYear + j;
      }
    }
  }
}

TEST(CrnText, RefusesWhatFourColumnsCannotHold) {
  const struct {
    int firstYear;
    std::vector<double> value;
    int badYear;
  } cases[] = {
      {1900, {1.0, 9.9895}, 1901},   // rounds to 9990, the missing mark
      {1900, {-0.9995}, 1900},       // rounds to -1000
      {1900, {1.0, 1.0, 250.0}, 1902},
      {-9991, {1.0}, -9991},         // decade -10000 needs 6 columns
      {99999, {1.0, 1.0}, 100000},
  };
  for (const auto& c : cases) {
    const std::vector<int> depth(c.value.size(), 1);
    std::string text;
    int badYear = 0;
    EXPECT_FALSE(crnText({c.firstYear, static_cast<int>(c.value.size()), c.value.data(),
                          depth.data()},
                         tableSite("x"), text, badYear));
    EXPECT_EQ(badYear, c.badYear);
  }
}

TEST(TableSite, FirstSixCharactersOfTheTableName) {
  const struct {
    const char* table;
    const char* id;
  } cases[] = {
      {"ca533.rwl", "ca533"},        {"data/tucson/ca533.rwl", "ca533"},
      {"longsitename.txt", "longsi"}, {"my site.csv", "my_sit"},
      {"plain", "plain"},            {".hidden", ".hidde"},
      {"dir/.rwl", ".rwl"},          {"caf\xC3\xA9.rwl", "caf__"},
  };
  for (const auto& c : cases) EXPECT_EQ(tableSite(c.table).id, c.id) << c.table;
  // A site without a name is named by its ID: column 10 is never blank (dplR's header test).
  const double one = 1.0;
  const int depth = 1;
  std::string text;
  int badYear = 0;
  ASSERT_TRUE(crnText({1901, 1, &one, &depth}, SiteHeader{.id = "x"}, text, badYear));
  EXPECT_EQ(text.substr(0, 11), "x      1 x\n");
}

TEST(ChronologyCsv, ShortestDecimalsAndEmptyYears) {
  const double value[] = {1.0 / 3.0, NONE, 0.5};
  const double residual[] = {NONE, NONE, 0.1};
  const int depth[] = {2, 0, 1};
  EXPECT_EQ(chronologyCsvText({-1, 3, value, depth, residual}),
            "year,std,res,depth\n-1,0.3333333333333333,,2\n0,,,0\n1,0.5,0.1,1\n");
}

}  // namespace
}  // namespace ringsmooth
