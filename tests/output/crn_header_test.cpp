#include "output/crn_header.h"

#include <gtest/gtest.h>

#include <string>

#include "input/series_file.h"
#include "support/text_stream.h"

namespace ringsmooth {
namespace {

// The header this program writes, read back by its own reader of the data bank's layout, with
// the facts the field's readers rely on in their columns.
TEST(CrnHeader, ReadsBackFieldByField) {
  std::string pairs;
  for (int j = 0; j < 10; ++j) pairs += "1000  5";
  const std::string name60 = "\u00C5lesund " + std::string(52, 'x');  // 60 characters
  const struct {
    SiteHeader site;
    std::string id;
    int first, last;
    SiteHeader expected;
  } cases[] = {
      {SiteHeader{"SS", "Sheep Mountain Update", "PILO", "California", "Bristlecone Pine", "3475M",
                  "3722-11812", "1", "2", "Graybill, D.A.", "06/1983"},
       "SS", -2649, 1983,
       SiteHeader{"SS", "Sheep Mountain Update", "PILO", "California", "Bristlecone Pine", "3475M",
                  "3722-11812", "-2649", "1983", "Graybill, D.A.", "06/1983"}},
      {SiteHeader{}, "ca533", 626, 1983,
       SiteHeader{.id = "ca533", .siteName = "ca533", .firstYear = "626", .lastYear = "1983"}},
      {SiteHeader{.siteName = name60, .species = "Pinus\tlongaeva"}, "X", 1, 10,
       SiteHeader{.id = "X",
                  .siteName = name60.substr(0, 53),
                  .species = "Pinus?longaeva",
                  .firstYear = "1",
                  .lastYear = "10"}},
  };
  for (const auto& c : cases) {
    const std::string header = crnHeader(c.site, c.id, c.first, c.last);
    SCOPED_TRACE(header);
    ASSERT_GE(header.size(), 10u);
    EXPECT_EQ(header.substr(6, 3), " 1 ");  // columns 7-10 of line 1 are no number
    EXPECT_NE(header[9], ' ');
    char decade[32];
    std::snprintf(decade, sizeof decade, "%-5.5s%5d", c.id.c_str(), c.first / 10 * 10);
    support::TextStream file(header + decade + pairs + "\n");
    const auto t = makeSeriesTable();
    const InputSummary read = readSeriesFile(file.get(), InputFormat::Crn, 1, 0.0f, *t);
    ASSERT_TRUE(read.site.has_value());
    EXPECT_TRUE(read.site == c.expected);
    EXPECT_EQ(t->seriesCount, 1);
  }
  // The layout's own columns, which other readers cut by: code 62, coordinates 48, years to 76.
  const std::string h = crnHeader(cases[0].site, "SS", -2649, 1983);
  const std::size_t line2 = h.find('\n') + 1;
  EXPECT_EQ(h.substr(61, 5), "PILO\n");
  EXPECT_EQ(h.substr(line2 + 47, 10), "3722-11812");
  EXPECT_EQ(h.substr(line2 + 66, 11), "-2649 1983\n");
}

}  // namespace
}  // namespace ringsmooth
