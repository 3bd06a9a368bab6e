// The field's usual workflow in its R package (dplR: read.rwl, detrend with method "Spline",
// chron) against `--ends=none -c 67%` on the same files, number for number: dplR's results are
// in tests/driver/dplr/ (see its README), row for row in the order of this program's CSV.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "support/program.h"

namespace {

const std::string TESTS = std::string(RINGSMOOTH_SOURCE_DIR) + "/tests/";

// A CSV text's rows after its header, each split at its commas (no quotes in these files).
std::vector<std::vector<std::string>> csvRows(const std::string& text) {
  std::istringstream lines(text.substr(text.find('\n') + 1));
  std::vector<std::vector<std::string>> rows;
  for (std::string line, cell; std::getline(lines, line);) {
    std::istringstream cells(line + ",");
    for (rows.emplace_back(); std::getline(cells, cell, ',');) rows.back().push_back(cell);
  }
  return rows;
}

// Within 2e-6 of `want`, relative (0 only for 0).
bool near(const std::string& got, double want) {
  return !got.empty() && std::fabs(std::stod(got) - want) <= 2e-6 * std::fabs(want);
}

class DplrReference : public runner::ScratchTest {};

// Every spline (CSV column 4, dplR's 4) and index (6, 5) within 2e-6 of dplR's, the standard
// chronology (2, 2) too, with equal years and depths (4, 4).
TEST_F(DplrReference, TheUsualSplineWorkflow) {
  for (const std::string site : {"ca533", "co021"}) {
    SCOPED_TRACE(site);
    write(site + ".rwl", runner::readFile(TESTS + "input/tucson/" + site + ".rwl"));
    runner::Options run;
    run.arguments = {"--ends=none", "-c", "67%", "-f", "csv", "--chronology=csv", site + ".rwl"};
    ASSERT_EQ(runner::run(folder, run).status, 0);
    const auto ours = csvRows(read(site + ".spline.csv"));
    const auto dplr = csvRows(runner::readFile(TESTS + "driver/dplr/" + site + ".spline.csv"));
    ASSERT_EQ(ours.size(), dplr.size());
    int apart = 0;
    for (std::size_t i = 0; i < ours.size(); ++i) {
      apart += ours[i][0] + ours[i][1] != dplr[i][0] + dplr[i][1];
      apart += !near(ours[i][3], std::stod(dplr[i][3])) + !near(ours[i][5], std::stod(dplr[i][4]));
    }
    EXPECT_EQ(apart, 0);
    const auto chronology = csvRows(read(site + ".chron.csv"));
    const auto std = csvRows(runner::readFile(TESTS + "driver/dplr/" + site + ".spline-chron.csv"));
    ASSERT_EQ(chronology.size(), std.size());
    for (std::size_t j = 0; j < std.size(); ++j) {
      EXPECT_EQ(chronology[j][0] + " " + chronology[j][3], std[j][0] + " " + std[j][3]);
      EXPECT_TRUE(near(chronology[j][1], std::stod(std[j][1]))) << std[j][0];
    }
  }
}

// A series whose spline falls below 0 is indexed against its mean, as dplR's detrend does it,
// with a note naming it; its CSV keeps its spline, and its values as written (0.01, not
// 0.00999999).
TEST_F(DplrReference, ASplineBelowZeroGivesRatiosToTheMean) {
  write("fall.rwl",
        "FALL01  1900   300   290   280   260   230   190   140    80    20     1\n"
        "FALL01  1910     1   999\n");
  runner::Options run;
  run.arguments = {"--ends=none", "-c", "67%", "-f", "csv", "-o", "-", "fall.rwl"};
  const auto r = runner::run(folder, run);
  EXPECT_NE(r.errors.find("the spline is not above 0 in every year", r.errors.find("(FALL01")),
            std::string::npos);
  const double value[] = {3.0, 2.9, 2.8, 2.6, 2.3, 1.9, 1.4, 0.8, 0.2, 0.01, 0.01};
  const auto rows = csvRows(r.console);
  ASSERT_EQ(rows.size(), 11u);
  bool below = false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(std::stod(rows[i][2]), value[i]);
    EXPECT_TRUE(near(rows[i][5], value[i] / (17.92 / 11)));
    below = below || std::stod(rows[i][3]) <= 0.0;
  }
  EXPECT_TRUE(below);
}

}  // namespace
