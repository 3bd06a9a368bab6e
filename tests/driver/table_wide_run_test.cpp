// A batch run's statistics, residual chronology and index table against the field's package on
// ca533 and co021 with its spline (--ends=none -c 67%): the program's own indices, from single
// precision values and splines, agree with dplR's to about 1e-6.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/csv_numbers.h"
#include "support/program.h"

namespace {

using support::csvRows;
using support::expectNear;

class TableWideRun : public runner::ScratchTest {};

// Every number of `got` near the same number of `expected` (columns from `from` on).
void expectRowsNear(const std::string& what, const std::vector<std::vector<double>>& got,
                    const std::vector<std::vector<double>>& expected, std::size_t from,
                    double tolerance) {
  ASSERT_EQ(got.size(), expected.size()) << what;
  for (std::size_t r = 0; r < got.size(); ++r) {
    ASSERT_EQ(got[r].size(), expected[r].size()) << what << " row " << r;
    for (std::size_t c = from; c < got[r].size(); ++c) {
      const double e = expected[r][c];
      const double scale = e == 0 || std::isnan(e) ? 1 : std::fabs(e);  // relative tolerance
      expectNear(got[r][c] / scale, e / scale, tolerance,
                 what + " row " + std::to_string(r) + " column " + std::to_string(c));
    }
  }
}

TEST_F(TableWideRun, AgreesWithTheFieldsPackage) {
  const struct {
    std::string site, table;
  } cases[] = {{"ca533", "/tests/input/tucson/ca533.rwl"},
               {"co021", "/tests/analysis/reference/co021.rwl"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.site);
    write(c.site + ".rwl", runner::readFile(RINGSMOOTH_SOURCE_DIR + c.table));
    runner::Options o;
    o.arguments = {"-c", "67%", "--ends=none", "-f", "rwi", "--stats", "--chronology=csv",
                   c.site + ".rwl"};
    const runner::Result r = runner::run(folder, o);
    ASSERT_EQ(r.status, 0) << r.errors;
    std::vector<std::vector<double>> residual;  // year and res of year,std,res,depth
    for (const auto& row : csvRows(scratch / (c.site + ".chron.csv"))) {
      residual.push_back({row[0], row[2]});
    }
    expectRowsNear("res", residual, csvRows(support::referencePath(c.site + ".res.csv")), 0, 1e-5);
    const auto signal = csvRows(support::referencePath(c.site + ".signal.csv"));
    expectRowsNear("stats", csvRows(scratch / (c.site + ".stats.csv")), signal, 0, 1e-6);
    expectRowsNear("series", csvRows(scratch / (c.site + ".series.csv")),
                   csvRows(support::referencePath(c.site + ".series.csv")), 1, 1e-6);
    const std::string rwi = read(c.site + ".rwi.csv");
    const std::string names = runner::readFile(support::referencePath(c.site + ".index.csv"));
    EXPECT_EQ(rwi.substr(0, rwi.find('\n')), names.substr(0, names.find('\n')));
    expectRowsNear("rwi", csvRows(scratch / (c.site + ".rwi.csv")),
                   csvRows(support::referencePath(c.site + ".index.csv")), 0, 2e-6);
    // The note's year: the one after the last window whose EPS is below 0.85.
    double trusted = signal[1][0];
    for (std::size_t w = 1; w < signal.size(); ++w) {
      if (signal[w][5] < 0.85) trusted = signal[w][1] + 1;
    }
    EXPECT_NE(r.errors.find("window from " + std::to_string(int(trusted)) + " on."),
              std::string::npos)
        << r.errors;
  }
}

// A table of one series gets its summary and a note instead of signal statistics; the index
// table alone goes to standard output.
TEST_F(TableWideRun, OneSeriesAndStandardOutput) {
  std::string one = "Year A\n", two = "Year A B\n";
  for (int year = 1901; year <= 1940; ++year) {
    const std::string a = std::to_string(1.0 + 0.1 * (year % 7));
    one += std::to_string(year) + " " + a + "\n";
    two += std::to_string(year) + " " + a + " " + std::to_string(2.0 - 0.1 * (year % 5)) + "\n";
  }
  write("one.txt", one);
  write("two.txt", two);
  const struct {
    std::vector<std::string> arguments;
    std::string note, console;  // in the notes, at the start of standard output
    std::vector<std::string> made, notMade;
  } cases[] = {
      {{"--stats", "one.txt"}, "one.txt: No signal statistics: they need two series with indices, "
       "the table has 1.\n", "", {"one.lst", "one.series.csv"}, {"one.stats.csv"}},
      {{"-f", "rwi", "-o", "-", "two.txt"}, "", "year,A,B\n1901,", {}, {"two.lst", "-"}},
  };
  for (const auto& c : cases) {
    runner::Options o;
    o.arguments = {"-c", "10"};
    o.arguments.insert(o.arguments.end(), c.arguments.begin(), c.arguments.end());
    const runner::Result r = runner::run(folder, o);
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_NE(r.errors.find(c.note), std::string::npos) << r.errors;
    EXPECT_EQ(r.console.rfind(c.console, 0), 0u) << r.console;
    for (const std::string& name : c.made) EXPECT_TRUE(has(name)) << name;
    for (const std::string& name : c.notMade) EXPECT_FALSE(has(name)) << name;
  }
}

}  // namespace
