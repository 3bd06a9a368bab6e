// The field's usual workflow in its R package (dplR: read.rwl, detrend with method "Spline",
// chron) against `--ends=none -c 67%` on the same files, number for number: dplR's results are
// in tests/driver/dplr/ (see its README).
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <map>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "support/program.h"

namespace {

const std::string TESTS = std::string(RINGSMOOTH_SOURCE_DIR) + "/tests/";
using Row = std::map<std::string, std::string>;

// A CSV text's rows (plain cells, no quotes), each cell under its column's name.
std::vector<Row> csvRows(const std::string& text) {
  std::istringstream lines(text);
  std::vector<std::string> names;
  std::vector<Row> rows;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream cells(line + ",");
    std::size_t c = 0;
    if (!names.empty()) rows.emplace_back();
    for (std::string cell; std::getline(cells, cell, ','); ++c) {
      if (rows.empty()) names.push_back(cell);
      if (!rows.empty() && c < names.size()) rows.back()[names[c]] = cell;
    }
  }
  return rows;
}

// Within 2e-6 of `want`, relative (0 only for 0; empty only for empty).
bool near(const std::string& got, const std::string& want) {
  if (got.empty() || want.empty()) return got.empty() && want.empty();
  return std::fabs(std::stod(got) - std::stod(want)) <= 2e-6 * std::fabs(std::stod(want));
}

class DplrReference : public runner::ScratchTest {};

// Every spline and index within 2e-6 of dplR's, the standard chronology too, depths equal.
TEST_F(DplrReference, TheUsualSplineWorkflow) {
  for (const std::string site : {"ca533", "co021"}) {
    SCOPED_TRACE(site);
    write(site + ".rwl", runner::readFile(TESTS + "input/tucson/" + site + ".rwl"));
    runner::Options run;
    run.arguments = {"--ends=none", "-c", "67%", "-f", "csv", "--chronology=csv", site + ".rwl"};
    ASSERT_EQ(runner::run(folder, run).status, 0);
    std::map<std::string, Row> ours;
    for (Row& row : csvRows(read(site + ".spline.csv"))) ours[row["series"] + row["year"]] = row;
    const auto dplr = csvRows(runner::readFile(TESTS + "driver/dplr/" + site + ".spline.csv"));
    EXPECT_EQ(ours.size(), dplr.size());
    int apart = 0;
    for (const Row& want : dplr) {
      Row& got = ours[want.at("series") + want.at("year")];
      apart += !near(got["spline"], want.at("curve")) + !near(got["index"], want.at("index"));
    }
    EXPECT_EQ(apart, 0);
    const auto chronology = csvRows(read(site + ".chron.csv"));
    const auto std = csvRows(runner::readFile(TESTS + "driver/dplr/" + site + ".spline-chron.csv"));
    ASSERT_EQ(chronology.size(), std.size());
    for (std::size_t j = 0; j < std.size(); ++j) {
      EXPECT_EQ(chronology[j].at("year") + " " + chronology[j].at("depth"),
                std[j].at("year") + " " + std[j].at("samp.depth"));
      EXPECT_TRUE(near(chronology[j].at("index"), std[j].at("std"))) << std[j].at("year");
    }
  }
}

// A series whose spline falls below 0 is indexed against its mean, as dplR's detrend does it;
// its CSV keeps its spline, and every value as the file writes it (0.01, not 0.00999999).
TEST_F(DplrReference, ASplineBelowZeroGivesRatiosToTheMean) {
  write("fall.rwl",
        "FALL01  1900   300   290   280   260   230   190   140    80    20     1\n"
        "FALL01  1910     1   999\n");
  runner::Options run;
  run.arguments = {"--ends=none", "-c", "67%", "-f", "csv", "-o", "-", "fall.rwl"};
  const auto r = runner::run(folder, run);
  const std::size_t note = r.errors.find("(FALL01");  // one note naming the series
  EXPECT_NE(r.errors.find("the spline is not above 0 in every year", note), std::string::npos)
      << r.errors;
  const double value[] = {3.0, 2.9, 2.8, 2.6, 2.3, 1.9, 1.4, 0.8, 0.2, 0.01, 0.01};
  const double mean = std::accumulate(std::begin(value), std::end(value), 0.0) / 11;
  const auto rows = csvRows(r.console);
  ASSERT_EQ(rows.size(), 11u);
  bool below = false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(std::stod(rows[i].at("value")), value[i]);
    EXPECT_NEAR(std::stod(rows[i].at("index")), value[i] / mean, 2e-6 * value[i] / mean);
    below = below || std::stod(rows[i].at("spline")) <= 0.0;
  }
  EXPECT_TRUE(below);
}

}  // namespace
