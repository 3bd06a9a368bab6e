#include "plot/plot_range.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "support/text_stream.h"

namespace ringsmooth {
namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

struct RangeCase {
  const char* what;
  std::vector<float> observed;
  std::vector<float> smoothed;
  float yMin;
  float yMax;
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.what; }

class PlotRangeCases : public testing::TestWithParam<RangeCase> {};

TEST_P(PlotRangeCases, YRangeFollowsTheStrictComparisonRules) {
  const RangeCase& c = GetParam();
  PlotRange range{};
  plotRange(c.observed.data(), c.smoothed.data(), static_cast<int>(c.observed.size()), 1901,
            range);
  EXPECT_EQ(range.yMin, c.yMin) << c.what;
  EXPECT_EQ(range.yMax, c.yMax) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlotRangeCases,
    testing::Values(
        RangeCase{"plain values", {1.5f, -2.25f, 3.0f}, {0.5f, 0.25f, 4.125f}, -2.25f, 4.125f},
        RangeCase{"minimum only in smoothed", {1.0f, 2.0f}, {-7.0f, 1.5f}, -7.0f, 2.0f},
        RangeCase{"all above 100000", {200000.0f, 150000.0f}, {120000.0f, 300000.0f}, 100000.0f,
                  300000.0f},
        RangeCase{"all below -100000", {-200000.0f}, {-150000.0f}, -200000.0f, -100000.0f},
        RangeCase{"NaN first is skipped", {NaN, 2.0f, 3.0f}, {NaN, 2.5f, -1.0f}, -1.0f, 3.0f},
        RangeCase{"NaN in the middle", {1.0f, NaN, 5.0f}, {2.0f, NaN, 4.0f}, 1.0f, 5.0f},
        RangeCase{"all NaN keeps the start values", {NaN, NaN}, {NaN, NaN}, 100000.0f,
                  -100000.0f},
        RangeCase{"exactly 100000 does not move yMin", {100000.0f}, {100000.0f}, 100000.0f,
                  100000.0f},
        RangeCase{"equal values", {0.75f, 0.75f}, {0.75f, 0.75f}, 0.75f, 0.75f}));

TEST(PlotRange, OnlyTheFirstNPointsCount) {
  const float observed[] = {1.0f, 2.0f, 99.0f};
  const float smoothed[] = {1.5f, 0.5f, -99.0f};
  PlotRange range{};
  plotRange(observed, smoothed, 2, 1700, range);
  EXPECT_EQ(range.yMin, 0.5f);
  EXPECT_EQ(range.yMax, 2.0f);
}

TEST(PlotRange, AgreesWithAPlainMinMaxOverRandomData) {
  std::srand(12345);
  std::vector<float> observed(5000), smoothed(5000);
  for (size_t i = 0; i < observed.size(); ++i) {
    observed[i] = static_cast<float>(std::rand() % 20001 - 10000) / 7.0f;
    smoothed[i] = static_cast<float>(std::rand() % 20001 - 10000) / 3.0f;
  }
  float lowest = 100000.0f, highest = -100000.0f;
  for (size_t i = 0; i < observed.size(); ++i) {
    lowest = std::fmin(lowest, std::fmin(observed[i], smoothed[i]));
    highest = std::fmax(highest, std::fmax(observed[i], smoothed[i]));
  }
  PlotRange range{};
  plotRange(observed.data(), smoothed.data(), 5000, 1, range);
  EXPECT_EQ(range.yMin, lowest);
  EXPECT_EQ(range.yMax, highest);
}

TEST(PlotRange, XRangeRunsFromTheStartYearOverNYears) {
  const std::vector<float> values(100, 0.0f);
  PlotRange range{};
  plotRange(values.data(), values.data(), 100, 1901, range);
  EXPECT_EQ(range.xMin, 1901.0f);
  EXPECT_EQ(range.xMax, 2000.0f);
}

TEST(PlotRange, YearsNearTheIntegerLimitDoNotOverflow) {
  const std::vector<float> values(3, 0.0f);
  PlotRange range{};
  plotRange(values.data(), values.data(), 3, 2147483647, range);
  EXPECT_EQ(range.xMin, static_cast<float>(2147483647.0));
  EXPECT_EQ(range.xMax, static_cast<float>(2147483649.0));
}

TEST(FillYearAxis, HoldsOneYearPerPoint) {
  float yearAxis[5] = {0, 0, 0, 0, -1.0f};
  fillYearAxis(4, -2, yearAxis);
  EXPECT_EQ(yearAxis[0], -2.0f);
  EXPECT_EQ(yearAxis[1], -1.0f);
  EXPECT_EQ(yearAxis[2], 0.0f);
  EXPECT_EQ(yearAxis[3], 1.0f);
  EXPECT_EQ(yearAxis[4], -1.0f) << "wrote past n";
}

// Reads the two lines back as floats: what a user reading the console gets.
std::vector<float> numbersOnLines(const std::string& text) {
  std::vector<float> numbers;
  std::istringstream in(text);
  std::string word;
  while (in >> word) numbers.push_back(std::strtof(word.c_str(), nullptr));
  return numbers;
}

TEST(WriteRangeLines, WritesYMaxYMinThenXMaxXMinExactly) {
  const PlotRange range{-1.2345678f, 3.1f, 1901.0f, 2000.0f};
  support::TextStream console("");
  writeRangeLines(range, console.get());
  const std::string text = console.contents();
  EXPECT_EQ(text, " 3.1 -1.2345678\n 2000 1901\n");
  const std::vector<float> numbers = numbersOnLines(text);
  ASSERT_EQ(numbers.size(), 4u);
  EXPECT_EQ(numbers[0], range.yMax);
  EXPECT_EQ(numbers[1], range.yMin);
  EXPECT_EQ(numbers[2], range.xMax);
  EXPECT_EQ(numbers[3], range.xMin);
}

TEST(WriteRangeLines, EveryFloatReadsBackUnchanged) {
  const float samples[] = {0.1f, 1e-7f, 123456.789f, -3.4028235e38f, 100000.0f, 7.0f / 3.0f};
  for (const float value : samples) {
    support::TextStream console("");
    writeRangeLines(PlotRange{value, value, value, value}, console.get());
    for (const float read : numbersOnLines(console.contents())) EXPECT_EQ(read, value);
  }
}

}  // namespace
}  // namespace ringsmooth
