// The two forms of the output: a CSV block quotes names and writes numbers that read back as
// the same floats, with NaN, Inf and -Inf as the field's tools read them.
#include "driver/listing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "support/scratch_folder.h"

namespace ringsmooth {
namespace {

std::string csvBlock(const char* name, int firstYear, const std::vector<float>& listed,
                     const std::vector<float>& smoothed) {
  runner::ScratchFolder folder;
  Listing listing;
  listing.create(folder / "out.csv", OutputFormat::Csv);
  char field[NAME_LENGTH];
  std::memset(field, ' ', NAME_LENGTH);
  std::memcpy(field, name, std::strlen(name));
  std::vector<float> residuals(listed.size());
  listing.writeBlock(field, firstYear, static_cast<int>(listed.size()), listed.data(),
                     smoothed.data(), residuals.data());
  listing.close();
  return runner::readFile(folder / "out.csv");
}

TEST(CsvOutput, RowsQuoteNamesAndKeepEveryFloat) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    const char* name;
    int firstYear;
    std::vector<float> listed, smoothed;
    std::string rows;
  } cases[] = {
      {"Plain", 1901, {1.198f, 0.1f}, {1.0f, 2.5e-7f}, "Plain,1901,1.198,1,0.19799995\n"
                                                       "Plain,1902,0.1,2.5e-07,0.09999975\n"},
      {"Site A, upper", -2, {3.0f}, {3.0f}, "\"Site A, upper\",-2,3,3,0\n"},
      {"say \"hi\"", 0, {16777216.0f}, {-1.0f}, "\"say \"\"hi\"\"\",0,16777216,-1,16777216\n"},
      {"", 5, {NAN}, {inf}, ",5,NaN,Inf,NaN\n"},
      {"x", 5, {-inf}, {1.0f}, "x,5,-Inf,1,-Inf\n"},
      {" lead", 7, {2.0f}, {0.5f}, "\" lead\",7,2,0.5,1.5\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(csvBlock(c.name, c.firstYear, c.listed, c.smoothed),
              "series,year,value,spline,residual\n" + c.rows)
        << c.name;
  }
}

}  // namespace
}  // namespace ringsmooth
