// The two forms of the output: a CSV block quotes names and writes numbers that read back as
// the same floats, with NaN, Inf and -Inf as the field's tools read them.
#include "output/series_csv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/capacities.h"
#include "support/scratch_folder.h"

namespace ringsmooth {
namespace {

std::string csvBlock(const char* name, int firstYear, const std::vector<float>& listed,
                     const std::vector<float>& smoothed, const std::vector<unsigned char>& filled,
                     const std::vector<double>& index) {
  runner::ScratchFolder folder;
  SeriesCsv listing;
  listing.create(folder / "out.csv");
  char field[NAME_LENGTH];
  std::memset(field, ' ', NAME_LENGTH);
  std::memcpy(field, name, std::strlen(name));
  std::vector<float> residuals(listed.size());
  listing.writeBlock(BlockColumns{field, firstYear, static_cast<int>(listed.size()),
                                  listed.data(), smoothed.data(), residuals.data(),
                                  filled.empty() ? nullptr : filled.data(),
                                  index.empty() ? nullptr : index.data()});
  listing.close();
  return runner::readFile(folder / "out.csv");
}

TEST(CsvOutput, RowsQuoteNamesKeepEveryNumberAndShowFilledYears) {
  const float inf = std::numeric_limits<float>::infinity();
  const double none = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* name;
    int firstYear;
    std::vector<float> listed, smoothed;
    std::vector<unsigned char> filled;  // empty: none filled
    std::vector<double> index;          // empty: no index column values
    std::string rows;
  } cases[] = {
      {"Plain", 1901, {1.198f, 0.1f}, {1.0f, 2.5e-7f}, {}, {},
       "Plain,1901,1.198,1,0.19799995,,0\n"
       "Plain,1902,0.1,2.5e-07,0.09999975,,0\n"},
      {"Site A, upper", -2, {3.0f}, {3.0f}, {}, {}, "\"Site A, upper\",-2,3,3,0,,0\n"},
      {"say \"hi\"", 0, {16777216.0f}, {-1.0f}, {}, {},
       "\"say \"\"hi\"\"\",0,16777216,-1,16777216,,0\n"},
      {"", 5, {NAN}, {inf}, {}, {}, ",5,NaN,Inf,NaN,,0\n"},
      {"x", 5, {-inf}, {1.0f}, {}, {}, "x,5,-Inf,1,-Inf,,0\n"},
      // A filled year: no value, no residual, no index; the spline as computed.
      {"gap", 1700, {1.5f, 1.25f, 0.5f}, {1.0f, 1.25f, 0.25f}, {0, 1, 0}, {1.5, none, 2.0},
       "gap,1700,1.5,1,0.5,1.5,0\ngap,1701,,1.25,,,1\ngap,1702,0.5,0.25,0.25,2,0\n"},
      // The index keeps every digit of its double.
      {"i", 1, {1.0f}, {3.0f}, {0}, {1.0 / 3.0}, "i,1,1,3,-2,0.3333333333333333,0\n"},
      {" lead", 7, {2.0f}, {0.5f}, {}, {}, "\" lead\",7,2,0.5,1.5,,0\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(csvBlock(c.name, c.firstYear, c.listed, c.smoothed, c.filled, c.index),
              "series,year,value,spline,residual,index,filled\n" + c.rows)
        << c.name;
  }
}

}  // namespace
}  // namespace ringsmooth
