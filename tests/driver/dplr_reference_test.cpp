// The field's usual workflow in its R package (dplR: read.rwl, detrend with method "Spline",
// chron) against `--ends=none -c 67%` on the same files, number for number: dplR's results are
// in tests/driver/dplr/ (see its README).
#include <gtest/gtest.h>

#include <cmath>
#include <map>
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
  for (std::string line, cell; std::getline(lines, line);) {
    std::istringstream cells(line + ",");
    if (!names.empty()) rows.emplace_back();
    for (std::size_t c = 0; std::getline(cells, cell, ','); ++c) {
      if (rows.empty()) names.push_back(cell);
      if (!rows.empty() && c < names.size()) rows.back()[names[c]] = cell;
    }
  }
  return rows;
}

// Within 2e-6 of `want`, relative (0 only for 0).
bool near(const std::string& got, double want) {
  return !got.empty() && std::fabs(std::stod(got) - want) <= 2e-6 * std::fabs(want);
}

class DplrReference : public runner::ScratchTest {
 protected:
  std::string csv(const std::string& table, const std::vector<std::string>& options) {
    runner::Options run;
    run.arguments = {"--ends=none", "-c", "67%", "-f", "csv", table};
    run.arguments.insert(run.arguments.begin(), options.begin(), options.end());
    errors = runner::run(folder, run).errors;
    return read(table.substr(0, table.size() - 4) + ".spline.csv");
  }
  std::string errors;
};

// Every spline and index within 2e-6 of dplR's, the standard chronology too, depths equal.
TEST_F(DplrReference, TheUsualSplineWorkflow) {
  for (const std::string site : {"ca533", "co021"}) {
    SCOPED_TRACE(site);
    write(site + ".rwl", runner::readFile(TESTS + "input/tucson/" + site + ".rwl"));
    std::map<std::string, Row> ours;
    for (Row& row : csvRows(csv(site + ".rwl", {"--chronology=csv"}))) {
      ours[row["series"] + row["year"]] = row;
    }
    const auto dplr = csvRows(runner::readFile(TESTS + "driver/dplr/" + site + ".spline.csv"));
    EXPECT_EQ(ours.size(), dplr.size());
    int apart = 0;
    for (const Row& want : dplr) {
      Row& got = ours[want.at("series") + want.at("year")];
      apart += !near(got["spline"], std::stod(want.at("curve")));
      apart += !near(got["index"], std::stod(want.at("index")));
    }
    EXPECT_EQ(apart, 0);
    const auto ourChronology = csvRows(read(site + ".chron.csv"));
    const auto std = csvRows(runner::readFile(TESTS + "driver/dplr/" + site + ".spline-chron.csv"));
    ASSERT_EQ(ourChronology.size(), std.size());
    for (std::size_t j = 0; j < std.size(); ++j) {
      const Row& got = ourChronology[j];
      EXPECT_EQ(got.at("year") + " " + got.at("depth"),
                std[j].at("year") + " " + std[j].at("samp.depth"));
      EXPECT_TRUE(near(got.at("index"), std::stod(std[j].at("std")))) << std[j].at("year");
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
  const auto rows = csvRows(csv("fall.rwl", {}));
  const std::size_t note = errors.find("(FALL01");
  EXPECT_NE(errors.find("the spline is not above 0 in every year", note), std::string::npos);
  const double value[] = {3.0, 2.9, 2.8, 2.6, 2.3, 1.9, 1.4, 0.8, 0.2, 0.01, 0.01};
  ASSERT_EQ(rows.size(), 11u);
  bool below = false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(std::stod(rows[i].at("value")), value[i]);
    EXPECT_TRUE(near(rows[i].at("index"), value[i] / (17.92 / 11)));
    below = below || std::stod(rows[i].at("spline")) <= 0.0;
  }
  EXPECT_TRUE(below);
}

}  // namespace
