#pragma once
// Checks of what the program writes: the layout of listing blocks and of error reports.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace runner {

constexpr std::size_t LISTING_LINE = 29;  // year in 5 columns, three values in 8 each
constexpr std::size_t NAME_LINE = 38;     // " Input series is: " and a 20-character name
constexpr const char* LISTING_HEADER = " year  unfilt  spline  resids";

// Checks the layout of the block that starts at `at` in `listing`: an empty line, the name
// line, the header and `years` year lines of 29 characters, the years counting up from
// `firstYear`. Returns where the next block begins.
inline std::size_t checkBlock(const std::string& listing, std::size_t at, int years,
                              int firstYear) {
  std::istringstream lines(listing.substr(at));
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "");
  std::getline(lines, line);
  EXPECT_EQ(line.rfind(" Input series is: ", 0), 0u) << line;
  EXPECT_EQ(line.size(), NAME_LINE);
  std::getline(lines, line);
  EXPECT_EQ(line, LISTING_HEADER);
  std::size_t size = 1 + (NAME_LINE + 1) + (LISTING_LINE + 1);
  for (int i = 0; i < years; ++i) {
    if (!std::getline(lines, line)) {
      ADD_FAILURE() << "block cut short after " << i << " years";
      return listing.size();
    }
    EXPECT_EQ(line.size(), LISTING_LINE);
    EXPECT_EQ(std::atoi(line.substr(0, 5).c_str()), firstYear + i) << "years not consecutive";
    size += LISTING_LINE + 1;
  }
  return at + size;
}

// The console holds an error report, and every line from its first "? " line on begins with
// "? ".
inline void expectReport(const std::string& console, const std::string& message) {
  EXPECT_NE(console.find("? " + message), std::string::npos) << console;
  const std::size_t report = console.find("\n? ");
  ASSERT_NE(report, std::string::npos) << console;
  std::istringstream lines(console.substr(report + 1));
  for (std::string line; std::getline(lines, line);) {
    EXPECT_EQ(line.rfind("? ", 0), 0u) << line << "\n" << console;
  }
}

}  // namespace runner
