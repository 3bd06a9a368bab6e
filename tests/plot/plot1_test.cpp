#include "plot/plot1.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "support/text_stream.h"
#include "support/svg_page.h"

namespace ringsmooth {
namespace {

// One work area for every plot of the test program, as in a run.
PlotWork& plotWork() {
  static PlotWork work;
  return work;
}

constexpr PlotDevice SVG{"svg", "svg", false};
// The driver rounds to its own device units and writes two decimals.
constexpr double COORDINATE_TOLERANCE = 0.03;

struct Curves {
  std::vector<float> observed = std::vector<float>(PLOT_MAX_POINTS, 0.0f);
  std::vector<float> smoothed = std::vector<float>(PLOT_MAX_POINTS, 0.0f);
  std::vector<float> level = std::vector<float>(PLOT_MAX_POINTS, 0.0f);
};

// A wavy series whose minimum lies in `observed` and whose maximum lies in `smoothed`.
Curves wavyCurves(int n) {
  Curves c;
  for (int i = 0; i < n; ++i) {
    c.observed[i] = static_cast<float>(std::sin(0.3 * i) * 2.0);
    c.smoothed[i] = static_cast<float>(std::sin(0.3 * i) * 1.5 + 0.8);
    c.level[i] = 0.25f;
  }
  return c;
}

// A file of this test alone: CTest runs the cases of one suite in parallel processes.
std::string svgPath(const std::string& name) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string unique = std::string(test->test_suite_name()) + "." + test->name();
  for (char& ch : unique) {
    if (ch == '/') ch = '_';
  }
  return testing::TempDir() + "/ringsmooth-" + std::to_string(getpid()) + "-" + unique + "-" +
         name + ".svg";
}

struct Drawn {
  std::string console;
  svgpage::Page page;
  bool fileWritten;
};

Drawn drawSvg(const Curves& c, int n, int startYear, const char* title, bool standardized,
              const std::string& name) {
  const std::string path = svgPath(name);
  unlink(path.c_str());
  support::TextStream console("");
  Notes notes(console.get());
  plot1(c.observed.data(), c.smoothed.data(), c.level.data(), n, startYear,
        title, standardized, PlotOutput{&SVG, console.get(), &notes}, path.c_str(), plotWork());
  Drawn drawn{console.contents(), svgpage::readPage(path), access(path.c_str(), F_OK) == 0};
  unlink(path.c_str());
  return drawn;
}

std::vector<float> consoleNumbers(const std::string& text, int lines) {
  std::istringstream in(text);
  std::vector<float> numbers;
  std::string line;
  for (int i = 0; i < lines && std::getline(in, line); ++i) {
    std::istringstream words(line);
    std::string word;
    while (words >> word) numbers.push_back(std::strtof(word.c_str(), nullptr));
  }
  return numbers;
}

bool hasText(const svgpage::Page& page, const std::string& text) {
  for (const std::string& t : page.texts) {
    if (t == text) return true;
  }
  return false;
}

// The frame, ticks and grid are black lines of width 1; together they span the plot window.
svgpage::Box frameOf(const svgpage::Page& page) {
  return svgpage::boxOf(svgpage::pointsOf(page, "#000000", 1.0));
}

TEST(Plot1Svg, DrawsSeriesSplineAndLevelInTheirColoursAndWidths) {
  const int n = 60;
  const Curves c = wavyCurves(n);
  const Drawn d = drawSvg(c, n, 1901, "Pine ridge          ", false, "colours");
  EXPECT_EQ(d.page.background, "#FFFFFF");
  const auto series = svgpage::pointsOf(d.page, "#FF0000", 1.0);
  const auto spline = svgpage::pointsOf(d.page, "#0000FF", 2.0);
  const auto level = svgpage::pointsOf(d.page, "#000000", 2.0);
  EXPECT_GE(series.size(), static_cast<size_t>(n));
  EXPECT_GE(spline.size(), static_cast<size_t>(n));
  EXPECT_GE(level.size(), 2u);
  // Nothing else is drawn in red or blue, and the spline and level are twice the series' width.
  for (const svgpage::Polyline& line : d.page.lines) {
    if (line.stroke == "#FF0000") {
      EXPECT_EQ(line.width, 1.0);
    }
    if (line.stroke == "#0000FF") {
      EXPECT_EQ(line.width, 2.0);
    }
  }
  // The level line is horizontal at 0.25.
  const svgpage::Box frame = frameOf(d.page);
  const svgpage::Box levelBox = svgpage::boxOf(level);
  const float yMin = -2.0f, yMax = 2.3f;  // sin reaches +-1 within 60 steps of 0.3
  const std::vector<float> range = consoleNumbers(d.console, 1);
  ASSERT_EQ(range.size(), 2u);
  const double expectedY =
      frame.bottom + (0.25 - range[1]) / (range[0] - range[1]) * (frame.top - frame.bottom);
  EXPECT_NEAR(levelBox.bottom, expectedY, COORDINATE_TOLERANCE);
  EXPECT_NEAR(levelBox.top, expectedY, COORDINATE_TOLERANCE);
  EXPECT_NEAR(range[0], yMax, 0.01);
  EXPECT_NEAR(range[1], yMin, 0.01);
}

TEST(Plot1Svg, WindowSpansExactlyTheComputedRange) {
  const int n = 100;
  const Curves c = wavyCurves(n);
  const Drawn d = drawSvg(c, n, 1901, "Range               ", false, "range");
  // The oracle: a plain min/max over both curves.
  float lowest = c.observed[0], highest = c.observed[0];
  for (int i = 0; i < n; ++i) {
    lowest = std::min({lowest, c.observed[i], c.smoothed[i]});
    highest = std::max({highest, c.observed[i], c.smoothed[i]});
  }
  const std::vector<float> numbers = consoleNumbers(d.console, 2);
  ASSERT_EQ(numbers.size(), 4u) << d.console;
  EXPECT_EQ(numbers[0], highest);
  EXPECT_EQ(numbers[1], lowest);
  EXPECT_EQ(numbers[2], 2000.0f);
  EXPECT_EQ(numbers[3], 1901.0f);

  // Every point of the series sits where a linear map of [1901, 2000] x [lowest, highest] onto
  // the frame puts it: the window has no margin and the x axis runs over the years.
  const svgpage::Box frame = frameOf(d.page);
  const auto series = svgpage::pointsOf(d.page, "#FF0000", 1.0);
  ASSERT_GE(series.size(), static_cast<size_t>(n));
  size_t checked = 0;
  for (int i = 0; i < n; ++i) {
    const double x = frame.left + (i / 99.0) * (frame.right - frame.left);
    const double y = frame.bottom + (c.observed[i] - lowest) / double(highest - lowest) *
                                        (frame.top - frame.bottom);
    for (const svgpage::Point& p : series) {
      if (std::fabs(p.x - x) < COORDINATE_TOLERANCE) {
        EXPECT_NEAR(p.y, y, 0.03) << "year " << 1901 + i;
        ++checked;
        break;
      }
    }
  }
  EXPECT_EQ(checked, static_cast<size_t>(n));
  const svgpage::Box data = svgpage::boxOf(series);
  const svgpage::Box spline = svgpage::boxOf(svgpage::pointsOf(d.page, "#0000FF", 2.0));
  EXPECT_NEAR(std::min(data.bottom, spline.bottom), frame.bottom, COORDINATE_TOLERANCE);
  EXPECT_NEAR(std::max(data.top, spline.top), frame.top, COORDINATE_TOLERANCE);
  EXPECT_NEAR(data.left, frame.left, COORDINATE_TOLERANCE);
  EXPECT_NEAR(data.right, frame.right, COORDINATE_TOLERANCE);
  // Tick labels of the x axis are years inside the range, and 2000 is one of them.
  EXPECT_TRUE(hasText(d.page, "2000"));
  EXPECT_FALSE(hasText(d.page, "1880"));
}

struct LabelCase {
  bool standardized;
  const char* yLabel;
};

void PrintTo(const LabelCase& c, std::ostream* os) { *os << "standardized " << c.standardized; }

class Plot1Labels : public testing::TestWithParam<LabelCase> {};

TEST_P(Plot1Labels, YLabelDependsOnTheNormalizeAnswer) {
  const LabelCase& c = GetParam();
  const Curves curves = wavyCurves(30);
  const Drawn d = drawSvg(curves, 30, 1800, "Labels              ", c.standardized,
                          std::string("labels-") + std::to_string(int(c.standardized)));
  EXPECT_TRUE(hasText(d.page, "Years"));
  EXPECT_TRUE(hasText(d.page, c.yLabel)) << c.standardized;
  const char* other = std::string(c.yLabel) == "Standard Normal Deviates"
                          ? "Original Data Units"
                          : "Standard Normal Deviates";
  EXPECT_FALSE(hasText(d.page, other));
}

INSTANTIATE_TEST_SUITE_P(Cases, Plot1Labels,
                         testing::Values(LabelCase{true, "Standard Normal Deviates"},
                                         LabelCase{false, "Original Data Units"}));

struct TitleCase {
  const char* title;  // 20 characters
  const char* shown;
};

void PrintTo(const TitleCase& c, std::ostream* os) { *os << "\"" << c.title << "\""; }

class Plot1Titles : public testing::TestWithParam<TitleCase> {};

TEST_P(Plot1Titles, TitleLosesItsTrailingBlanksOnly) {
  const TitleCase& c = GetParam();
  const Curves curves = wavyCurves(30);
  const Drawn d = drawSvg(curves, 30, 1800, c.title, false, "title");
  const std::vector<std::string> fixed{"Years", "Original Data Units"};
  std::vector<std::string> titles;
  for (const std::string& t : d.page.texts) {
    if (t.find_first_not_of("-0123456789.") != std::string::npos && t != fixed[0] &&
        t != fixed[1]) {
      titles.push_back(t);
    }
  }
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0], c.shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, Plot1Titles,
                         testing::Values(TitleCase{"ABC                 ", "ABC"},
                                         TitleCase{"Tree ring 12 (mm)   ", "Tree ring 12 (mm)"},
                                         TitleCase{"Site#4 #u           ", "Site#4 #u"},
                                         TitleCase{"Ring width 123456789", "Ring width 123456789"},
                                         TitleCase{"                    ", " "}));

TEST(Plot1Svg, FileDeviceNamesItsFileOnTheConsole) {
  const Curves c = wavyCurves(10);
  const std::string path = svgPath("named");
  const Drawn d = drawSvg(c, 10, 1950, "x                   ", false, "named");
  EXPECT_NE(d.console.find(" Plot written to " + path + "\n"), std::string::npos) << d.console;
  EXPECT_TRUE(d.fileWritten);
}

TEST(Plot1Svg, NaNLeavesTheRangeAlone) {
  Curves c = wavyCurves(40);
  c.observed[0] = std::numeric_limits<float>::quiet_NaN();
  c.smoothed[17] = std::numeric_limits<float>::quiet_NaN();
  c.observed[5] = 9.0f;
  c.smoothed[30] = -4.0f;
  const Drawn d = drawSvg(c, 40, 1901, "nan                 ", false, "nan");
  const std::vector<float> numbers = consoleNumbers(d.console, 1);
  ASSERT_EQ(numbers.size(), 2u);
  EXPECT_EQ(numbers[0], 9.0f);
  EXPECT_EQ(numbers[1], -4.0f);
}

// Cases PLplot refuses or that hand plot1 odd counts: each returns, writes its two lines, and
// leaves the program running.
struct OddCase {
  const char* what;
  int n;
  bool allEqual;
  const char* xLine;  // expected second console line
  bool seriesDrawn;
};

void PrintTo(const OddCase& c, std::ostream* os) { *os << c.what; }

class Plot1OddInput : public testing::TestWithParam<OddCase> {};

TEST_P(Plot1OddInput, ReturnsWithoutCrashing) {
  const OddCase& c = GetParam();
  Curves curves = wavyCurves(PLOT_MAX_POINTS);
  if (c.allEqual) {
    for (int i = 0; i < PLOT_MAX_POINTS; ++i) curves.observed[i] = curves.smoothed[i] = 3.5f;
  }
  const Drawn d = drawSvg(curves, c.n, 1901, "odd                 ", false, "odd");
  std::istringstream lines(d.console);
  std::string first, second;
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_EQ(second, c.xLine) << c.what;
  EXPECT_EQ(!svgpage::pointsOf(d.page, "#FF0000", 1.0).empty(), c.seriesDrawn) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Plot1OddInput,
    testing::Values(OddCase{"one point: equal x limits", 1, false, " 1901 1901", false},
                    OddCase{"all values equal: equal y limits", 50, true, " 1950 1901", false},
                    OddCase{"no points", 0, false, " 1900 1901", false},
                    OddCase{"negative count", -5, false, " 1900 1901", false},
                    OddCase{"more than the capacity", 2 * PLOT_MAX_POINTS, false,
                            " 11900 1901", true}));

TEST(Plot1Svg, ACountAboveTheCapacityDrawsTheFirstTenThousandPoints) {
  const Curves c = wavyCurves(PLOT_MAX_POINTS);
  const Drawn d = drawSvg(c, PLOT_MAX_POINTS + 1, 1, "big                 ", false, "big");
  const svgpage::Box frame = frameOf(d.page);
  const svgpage::Box series = svgpage::boxOf(svgpage::pointsOf(d.page, "#FF0000", 1.0));
  EXPECT_NEAR(series.right, frame.right, COORDINATE_TOLERANCE);
  EXPECT_NE(d.console.find(" 10000 1\n"), std::string::npos) << d.console;
}

TEST(Plot1, AFileThatCannotBeCreatedIsReportedAndSkipped) {
  const Curves c = wavyCurves(10);
  support::TextStream console("");
  Notes notes(console.get());
  plot1(c.observed.data(), c.smoothed.data(), c.level.data(), 10, 1901,
        "x                   ", false, PlotOutput{&SVG, console.get(), &notes}, "/nonexistent-dir/plot-1.svg", plotWork());
  EXPECT_NE(console.contents().find("cannot create /nonexistent-dir/plot-1.svg"), std::string::npos)
      << console.contents();
}

TEST(Plot1, AFileDeviceWithoutAFileNameIsSkipped) {
  const Curves c = wavyCurves(10);
  support::TextStream console("");
  Notes notes(console.get());
  plot1(c.observed.data(), c.smoothed.data(), c.level.data(), 10, 1901,
        "x                   ", false, PlotOutput{&SVG, console.get(), &notes}, "", plotWork());
  EXPECT_NE(console.contents().find("Plot not written: no file name"), std::string::npos);
}

// PLplot's xwin device ends the whole process when it cannot open its display. plot1 must
// come back with a note instead; the test program reaching its next line proves it.
TEST(Plot1, AScreenThatCannotOpenEndsThePlotNotTheProgram) {
  const char* oldDisplay = std::getenv("DISPLAY");
  const std::string saved = oldDisplay != nullptr ? oldDisplay : "";
  setenv("DISPLAY", ":59318", 1);
  const Curves c = wavyCurves(10);
  support::TextStream console("");
  Notes notes(console.get());
  const PlotDevice xwin{"xwin", "", true};
  plot1(c.observed.data(), c.smoothed.data(), c.level.data(), 10, 1901,
        "x                   ", false, PlotOutput{&xwin, console.get(), &notes}, nullptr, plotWork());
  if (oldDisplay != nullptr) {
    setenv("DISPLAY", saved.c_str(), 1);
  } else {
    unsetenv("DISPLAY");
  }
  EXPECT_NE(console.contents().find(" Plot stopped: PLplot reported \"Can't open display\"."),
            std::string::npos)
      << console.contents();

  // The library is usable again afterwards.
  const Drawn d = drawSvg(c, 10, 1901, "after               ", false, "after");
  EXPECT_FALSE(svgpage::pointsOf(d.page, "#FF0000", 1.0).empty());
}

TEST(Plot1, NullDeviceDrawsNothingAndNamesNoFile) {
  const Curves c = wavyCurves(10);
  support::TextStream console("");
  Notes notes(console.get());
  const PlotDevice null{"null", "", false};
  plot1(c.observed.data(), c.smoothed.data(), c.level.data(), 10, 1901,
        "x                   ", false, PlotOutput{&null, console.get(), &notes}, nullptr, plotWork());
  const std::string text = console.contents();
  EXPECT_EQ(text.find("Plot"), std::string::npos) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
}

// One page of a book, as SVG.
template <typename Draw>
svgpage::Page bookPage(const std::string& name, Draw draw) {
  const std::string path = svgPath(name);
  support::TextStream console("");
  Notes notes(console.get());
  const PlotOutput output{&SVG, nullptr, &notes};
  PlotBook book(output, path);
  draw(book);
  book.close();
  svgpage::Page page = svgpage::readPage(path);
  unlink(path.c_str());
  return page;
}

TEST(PlotBookSvg, SeriesPageHasItsTitleALegendALightGridAndRoomForTheSpline) {
  Curves c = wavyCurves(60);
  for (float& v : c.smoothed) v -= 3.0f;  // far below the values
  const svgpage::Page page = bookPage("series", [&](PlotBook& book) {
    book.page({c.observed.data(), c.smoothed.data(), c.level.data(), 60, 1901, "Pine", false,
               "Pine - ridge, spline 67% = 40 years"});
  });
  for (const char* text : {"Pine - ridge, spline 67% = 40 years", "measured", "spline", "mean"}) {
    EXPECT_TRUE(hasText(page, text)) << text;
  }
  EXPECT_FALSE(svgpage::pointsOf(page, "#E1E1E1", 1.0).empty());  // the grid
  const svgpage::Box frame = frameOf(page);
  const svgpage::Box spline = svgpage::boxOf(svgpage::pointsOf(page, "#0000FF", 2.0));
  EXPECT_GT(spline.bottom, frame.bottom);
  EXPECT_LT(spline.top, frame.top);
}

TEST(PlotBookSvg, ChronologyPageShadesTheWeakYearsAndDrawsTheLevel) {
  std::vector<double> years(100), index(100), depth(100, 5.0);
  std::vector<unsigned char> weak(100, 0);
  for (int j = 0; j < 100; ++j) {
    years[j] = 1900 + j;
    index[j] = 1.0 + 0.3 * std::sin(0.5 * j);
    weak[j] = j < 20 || (j >= 50 && j < 60);
  }
  const svgpage::Page page = bookPage("chronology", [&](PlotBook& book) {
    book.chronologyPage({years.data(), index.data(), depth.data(), 100, "Site: rbar 0.5",
                         "standard", 1.0, weak.data()});
  });
  for (const char* text : {"Site: rbar 0.5", "standard", "sample depth", "EPS < 0.85"}) {
    EXPECT_TRUE(hasText(page, text)) << text;
  }
  // The index, one line (the legend's sample is another), spans the years across the frame,
  // 0.7 to 1.3 (within 0.001).
  svgpage::Box curve;
  for (const svgpage::Polyline& line : page.lines) {
    if (line.stroke == "#0000FF" && line.points.size() == 100) curve = svgpage::boxOf(line.points);
  }
  std::vector<double> shaded;  // the years at each shaded box's edges
  int levels = 0;              // black lines across the frame at 1.0, midway
  for (const svgpage::Polyline& line : page.lines) {
    const svgpage::Box box = svgpage::boxOf(line.points);
    levels += line.stroke == "#000000" && box.right - box.left > curve.right - curve.left - 0.1 &&
              std::fabs(box.top + box.bottom - curve.top - curve.bottom) < 2;
    if (line.stroke != "#FFE2BE" || box.top - box.bottom < curve.top - curve.bottom) continue;
    for (const double x : {box.left, box.right}) {
      shaded.push_back(1900 + (x - curve.left) / (curve.right - curve.left) * 99);
    }
  }
  EXPECT_EQ(levels, 1);
  ASSERT_EQ(shaded.size(), 4u);
  const double edges[] = {1900, 1919.5, 1949.5, 1959.5};  // the first clipped to the frame
  for (int e = 0; e < 4; ++e) EXPECT_NEAR(shaded[e], edges[e], 0.05);
}

}  // namespace
}  // namespace ringsmooth
