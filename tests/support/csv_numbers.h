#pragma once
// The numbers of CSV files, compared with the field's package's (tests/analysis/reference).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace support {

inline std::string referencePath(const std::string& name) {
  return std::string(RINGSMOOTH_SOURCE_DIR) + "/tests/analysis/reference/" + name;
}

// The numbers of a CSV file after its header, row by row; an empty or text cell is NaN.
inline std::vector<std::vector<double>> csvRows(const std::string& path) {
  std::ifstream file(path);
  std::vector<std::vector<double>> rows;
  std::string line;
  std::getline(file, line);
  while (std::getline(file, line)) {
    std::vector<double>& row = rows.emplace_back();
    std::stringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) {
      char* end = nullptr;
      const double value = std::strtod(cell.c_str(), &end);
      row.push_back(cell.empty() || *end != '\0' ? NAN : value);
    }
    if (line.back() == ',') row.push_back(NAN);
  }
  EXPECT_FALSE(rows.empty()) << path;
  return rows;
}

// value within tolerance of expected, relative when |expected| > 1; both NaN also agree.
inline void expectNear(double value, double expected, double tolerance, const std::string& what) {
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(value)) << what;
  } else {
    EXPECT_NEAR(value, expected, tolerance * std::max(1.0, std::fabs(expected))) << what;
  }
}

// Every number of `got` within `tolerance` relative of the same one of `expected` (columns
// from `from` on), or both NaN.
inline void expectRowsNear(const std::string& what, const std::vector<std::vector<double>>& got,
                           const std::vector<std::vector<double>>& expected, std::size_t from,
                           double tolerance) {
  ASSERT_EQ(got.size(), expected.size()) << what;
  for (std::size_t r = 0; r < got.size(); ++r) {
    ASSERT_EQ(got[r].size(), expected[r].size()) << what << " row " << r;
    for (std::size_t c = from; c < got[r].size(); ++c) {
      const double e = expected[r][c], scale = e == 0 || std::isnan(e) ? 1 : std::fabs(e);
      expectNear(got[r][c] / scale, e / scale, tolerance, what + " " + std::to_string(r) + "," +
                                                              std::to_string(c));
    }
  }
}

}  // namespace support
